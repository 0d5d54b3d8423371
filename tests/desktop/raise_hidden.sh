#!/usr/bin/env bash
# A hidden window comes back. On X11 the settings keep the window closed at the start: the
# program runs in the tray, without a window; starting it a second time exits 0 and shows the
# first instance's window, focused, where it was. Escape closes it again, and a double click on
# the tray icon shows it; the icon's menu opens the preferences, and its "Exit", chosen while
# they are open, ends the program with status 0 and a task typed just before saved. On Wayland,
# where the session has no tray, the window opens; the compositor closes it and a second start
# shows it again, focused; it is a Wayland window, and the only one, and when the compositor
# ends the program saves before it goes (the usage identity, written only then, is there).
source "$(dirname "$0")/lib.sh"

task "Buy milk"
if ((WAYLAND)); then
    write_db
    start_app
    log "the compositor closes the main window"
    swaymsg "[app_id=mirevo] kill" >/dev/null
    wait_until 10 window_hidden || fail "the window is still visible 10 s after it was closed"
else
    write_db false false
    start_app --hidden
fi
kill -0 "$APP_PID" 2>/dev/null || fail "the program is not running"
log "starting a second instance"
timeout 15 "$MIREVO" >"$OUT/second.log" 2>&1 || fail "the second instance exited with status $? (see second.log)"
window_up "the second instance"
kill -0 "$APP_PID" 2>/dev/null || fail "the first instance is gone"
wait_until 5 focused_main || fail "the shown window is not the focused window"
if ((WAYLAND)); then
    [[ "$WW $WH" == "800 450" ]] || fail "the window came back ${WW}x$WH, not 800x450"
    [[ $(windows | cut -d'|' -f1,2) == "mirevo|Mirevo" ]] || fail "other windows: $(windows | paste -sd' ')"
    [[ ! -e $DATA/metrics.xml ]] || fail "metrics.xml was written before the end"
    log "the compositor ends"
    swaymsg exit >/dev/null 2>&1
    wait_exit any
    [[ -f $DATA/metrics.xml ]] || fail "nothing was saved when the compositor ended"
    exit 0
fi
[[ "$WX $WY $WW $WH" == "100 100 800 450" ]] || fail "the window is at $WX,$WY ${WW}x$WH, not 100,100 800x450"
first=$WIN
log "Escape in the task list, focused by a click on empty space (it opens nothing)"
click 500 250
sleep 0.3
press Escape
wait_until 10 window_hidden || fail "the window is still visible 10 s after Escape"
kill -0 "$APP_PID" 2>/dev/null || fail "the program quit instead of hiding its window"
log "a double click on the tray icon"
tray_click 1 2
window_up "a double click on the tray icon"
[[ $WIN == "$first" ]] || fail "another window came up"
log "Ctrl+N, a name, Return"
press ctrl+n
sleep 0.3
type_text "Exit from the tray $$"
press Return
sleep 0.5
log "the tray icon's menu: Preferences..."
tray_menu Up Up Up Return
wait_until 10 shown '^Mirevo Preferences$' || fail "the preferences dialog did not open"
log "the tray icon's menu again: Exit, with the dialog open"
tray_menu Up Return
wait_exit
expect Inbox "Buy milk" "Exit from the tray $$"
