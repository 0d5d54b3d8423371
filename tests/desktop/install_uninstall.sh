#!/usr/bin/env bash
# The build copy's first start writes no autostart entry; `mirevo --install` clicked through with
# the keyboard to its success message writes one for the installed copy; `--install` of the
# installed copy keeps it; the installed copy started from the menu entry's Exec line shows its
# window; `--install` while it runs warns and exits 1; the "Uninstall Mirevo" entry's Exec line
# removes the installation and the autostart entry.
source "$(dirname "$0")/lib.sh"

APPS="$XDG_DATA_HOME/applications"
INSTALLED="$XDG_DATA_HOME/Velbrook/Mirevo/Application/mirevo"
FILES=("$INSTALLED" "$APPS/Mirevo.desktop" "$HOME/Desktop/Mirevo.desktop" "$XDG_CONFIG_HOME/autostart/Mirevo.desktop"
    "$APPS/C8F31CA0-0667-467c-B205-B0A0291603E6.desktop")
# exec_words ENTRY: the Exec value of a desktop entry, split into words by its quoting rules.
exec_words() { python3 -c 'import shlex, sys
print("\n".join(shlex.split([l[5:] for l in open(sys.argv[1]) if l.startswith("Exec=")][0].strip().replace("\\\\s", " "))))' "$1"; }
# finish PID CODE WHAT: the process PID ends within 20 s with status CODE.
finish() {
    local pid=$1 rc
    wait_until 20 eval '! kill -0 "$pid" 2>/dev/null' || fail "$3 did not end"
    wait "$pid"
    rc=$?
    ((rc == $2)) || fail "$3 exited with $rc, expected $2"
}
# install_with_keys PROGRAM NAME: PROGRAM --install clicked through to its success message.
install_with_keys() {
    log "$2 --install"
    "$1" --install >"$OUT/$2-install.log" 2>&1 &
    local pid=$! file
    wait_until 20 shown '^Install Mirevo$' || fail "the install wizard did not appear"
    sleep 0.5
    screen_shot "$OUT/$2-install-welcome.png" "$SHOWN"
    xdotool key Return
    wait_until 10 shown '^Mirevo License Agreement$' || fail "the licence agreement did not appear"
    xdotool key Tab space
    wait_until 10 eval '! shown "^Mirevo License Agreement$"' || fail "the licence was not accepted"
    xdotool key Return
    wait_until 20 eval '(($(xdotool search --onlyvisible --name "^Install Mirevo$" | wc -l) >= 2))' || fail "no message after the installation"
    screen_shot "$OUT/$2-install-done.png"
    xdotool key Return
    finish "$pid" 0 "the install wizard of $2"
    for file in "${FILES[@]}"; do [[ -f $file ]] || fail "$file was not written"; done
    [[ $(exec_words "${FILES[3]}") == "$INSTALLED" ]] || fail "the autostart entry starts '$(exec_words "${FILES[3]}")', not the installed copy"
}

log "the build copy's first start"
"$MIREVO" >"$OUT/first-start.log" 2>&1 &
APP_PID=$!
wait_until 30 window_visible || fail "the build copy showed no window"
stop_app
[[ ! -e ${FILES[3]} ]] || fail "the build copy wrote an autostart entry at its first start"

install_with_keys "$MIREVO" build
cmp -s "$MIREVO" "$INSTALLED" || fail "the installed copy differs from the build"
install_with_keys "$INSTALLED" installed
cmp -s "$MIREVO" "$INSTALLED" || fail "installing from the installed copy changed it"

log "the installed copy, started as the menu starts it"
mapfile -t command < <(exec_words "${FILES[1]}")
[[ ${command[0]} == "$INSTALLED" ]] || fail "the menu entry starts '${command[0]}', not the installed copy"
"${command[@]}" >"$OUT/installed.log" 2>&1 &
APP_PID=$!
wait_until 30 window_visible || fail "the installed copy showed no window"
log "--install while it runs: the warning, exit 1"
"$INSTALLED" --install >"$OUT/second-install.log" 2>&1 &
pid=$!
wait_until 20 shown '^Mirevo installation$' || fail "no warning from --install while the program runs"
xdotool key Return
finish "$pid" 1 "--install beside the running program"
stop_app

log "Uninstall Mirevo, as the menu starts it"
mapfile -t command < <(exec_words "${FILES[4]}")
[[ "${command[*]}" == "$INSTALLED --uninstall" ]] || fail "the uninstall entry runs '${command[*]}'"
"${command[@]}" >"$OUT/uninstall.log" 2>&1 &
pid=$!
wait_until 20 shown '^Uninstall Mirevo$' || fail "the uninstall wizard did not appear"
screen_shot "$OUT/uninstall.png" "$SHOWN"
xdotool key Return
finish "$pid" 0 "the uninstall wizard"
for file in "${FILES[@]}"; do [[ ! -e $file ]] || fail "$file is still there after uninstalling"; done
[[ ! -d $XDG_DATA_HOME/Velbrook/Mirevo/Application ]] || fail "the program folder is still there"
[[ -z ${MRV_DOCS_SCREENSHOT:-} ]] || cp "$OUT/build-install-welcome.png" "$(dirname "$MRV_DOCS_SCREENSHOT")/install.png"
