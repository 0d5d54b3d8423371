#!/usr/bin/env bash
# On Wayland, the program started without QT_QPA_PLATFORM picks Wayland by itself. A task comes
# from "mirevo --add" while it runs and another one from its window; half a second after that,
# the compositor ends. The program, its display connection gone, saves both before it ends.
source "$(dirname "$0")/lib.sh"

CAPTURED="Captured before the end $$"
TYPED="Typed before the end $$"
write_settings
write_one_task
unset QT_QPA_PLATFORM
start_app
# sway runs without Xwayland and DISPLAY is unset: a window in its tree is a Wayland window.
[[ $(python3 "$HERE/wl.py" windows) == $'mirevo\tMirevo' ]] ||
    fail "the program did not show its window through Wayland: $(python3 "$HERE/wl.py" windows)"

log "mirevo --add"
timeout 15 "$MIREVO" --add "$CAPTURED" >"$OUT/add.log" 2>&1 || fail "mirevo --add failed (see add.log)"
log "Ctrl+N, a name, Return"
press ctrl+n
sleep 0.3
type_text "$TYPED"
press Return
typed_at=$(date +%s%N)
shot typed
rows=($(task_rows "$OUT/typed.png"))
((${#rows[@]} == 3)) || fail "expected 3 task rows after typing one, found ${#rows[@]} (see typed.png)"
sleep "$(printf '0.%03d' $((500 - ($(date +%s%N) - typed_at) / 1000000)))"
log "swaymsg exit"
swaymsg exit >/dev/null 2>&1
wait_until 15 eval '! kill -0 "$APP_PID" 2>/dev/null' || fail "the program still runs 15 s after the compositor ended"
wait "$APP_PID"
log "the program ended with status $?"
APP_PID="" WIN=""
cp "$DB" "$OUT/database.xml"
saved_task "$CAPTURED"
saved_task "$TYPED"
