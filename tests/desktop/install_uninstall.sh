#!/usr/bin/env bash
# `mirevo --install` clicked through with the keyboard to its success message installs the
# program, its menu, desktop, autostart and uninstall entries, and ends with status 0; the
# installed copy started from the menu entry's Exec line shows its window; the "Uninstall Mirevo"
# entry's Exec line removes them all. What the entries say is the installer's tests' business.
source "$(dirname "$0")/lib.sh"

APPS="$XDG_DATA_HOME/applications" INSTALLED="$XDG_DATA_HOME/Velbrook/Mirevo/Application/mirevo"
AUTOSTART="$XDG_CONFIG_HOME/autostart/Mirevo.desktop" UNINSTALL="$APPS/C8F31CA0-0667-467c-B205-B0A0291603E6.desktop"
FILES=("$INSTALLED" "$APPS/Mirevo.desktop" "$HOME/Desktop/Mirevo.desktop" "$AUTOSTART" "$UNINSTALL")
# exec_line ENTRY: the Exec value of a desktop entry, split into words by its quoting rules.
exec_line() { mapfile -t EXEC < <(python3 -c 'import shlex, sys
print("\n".join(shlex.split([l[5:] for l in open(sys.argv[1]) if l.startswith("Exec=")][0].strip().replace("\\\\s", " "))))' "$1"); }
# answer TITLE KEY...: the window TITLE comes up within 20 s; then KEYs.
answer() {
    wait_until 20 shown "$1" || fail "no window '$1'"
    sleep 0.5
    xdotool key --delay 60 "${@:2}"
}
log "mirevo --install"
"$MIREVO" --install >"$OUT/install.log" 2>&1 &
APP_PID=$!
answer '^Install Mirevo$' Return
answer '^Mirevo License Agreement$' Tab space
wait_until 10 eval '! shown "^Mirevo License Agreement$"' || fail "the licence was not accepted"
xdotool key Return
wait_until 20 eval '(($(xdotool search --onlyvisible --name "^Install Mirevo$" | wc -l) >= 2))' ||
    fail "no message after the installation"
xdotool key Return
wait_exit
for file in "${FILES[@]}"; do [[ -f $file ]] || fail "$file was not written"; done

log "the installed copy, started as the menu starts it"
exec_line "$APPS/Mirevo.desktop"
[[ ${EXEC[0]} == "$INSTALLED" ]] || fail "the menu entry starts '${EXEC[0]}', not the installed copy"
"${EXEC[@]}" >"$OUT/installed.log" 2>&1 &
APP_PID=$!
wait_until 30 window_visible || fail "the installed copy showed no window"
stop_app

log "Uninstall Mirevo, as the menu starts it"
exec_line "$UNINSTALL"
[[ "${EXEC[*]}" == "$INSTALLED --uninstall" ]] || fail "the uninstall entry runs '${EXEC[*]}'"
"${EXEC[@]}" >"$OUT/uninstall.log" 2>&1 &
APP_PID=$!
answer '^Uninstall Mirevo$' Return
wait_exit
for file in "${FILES[@]}"; do [[ ! -e $file ]] || fail "$file is still there after uninstalling"; done
