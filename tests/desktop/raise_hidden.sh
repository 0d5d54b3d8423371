#!/usr/bin/env bash
# Escape hides the main window (the program keeps running); starting the program a second
# time exits 0 and shows the first instance's window again, focused. On Wayland, where the
# session has no tray, the compositor closes the window instead: it hides all the same.
source "$(dirname "$0")/lib.sh"

T1='{11111111-1111-4111-8111-111111111111}'
write_settings
write_db "<tid>$T1</tid>" "" "$(todo_xml "$T1" 'Buy milk')"
start_app
first=$WIN

if ((WAYLAND)); then
    log "the compositor closes the main window"
    swaymsg "[app_id=mirevo] kill" >/dev/null
else
    log "pressing Escape in the main window"
    click 500 250                     # empty space: focus the task list without opening anything
    sleep 0.3
    press Escape
fi
wait_until 10 window_hidden || fail "the window is still visible 10 s after it was closed"
kill -0 "$APP_PID" 2>/dev/null || fail "the program quit instead of hiding its window"
log "the window is hidden; the program runs on"

log "starting a second instance"
"$MIREVO" >"$OUT/second.log" 2>&1 &
second=$!
wait_until 15 eval '! kill -0 "$second" 2>/dev/null' || {
    kill -KILL "$second" 2>/dev/null
    fail "the second instance did not exit within 15 s"
}
wait "$second"
rc=$?
((rc == 0)) || fail "the second instance exited with status $rc (see second.log)"
log "the second instance exited with status 0"

wait_until 10 window_visible || fail "the window did not come back within 10 s"
WIN=$(main_window)
[[ $WIN == "$first" ]] || fail "a different window ($WIN) is visible instead of the first one ($first)"
kill -0 "$APP_PID" 2>/dev/null || fail "the first instance is gone"
wait_until 10 painted || fail "the shown window was not painted within 10 s"
wait_until 5 focused_main || fail "the shown window is not the focused window"
read_geometry
if ((WAYLAND)); then
    [[ "$WW $WH" == "800 450" ]] || fail "the window came back ${WW}x$WH, not 800x450"
else
    [[ "$WX $WY $WW $WH" == "100 100 800 450" ]] || fail "the window came back at $WX,$WY ${WW}x$WH, not 100,100 800x450"
fi
shot shown-again
stop_app
