#!/usr/bin/env bash
# Closing the main window hides it and the program runs on; starting the program a second time
# exits 0 and shows the first instance's window again, focused, where it was. On Wayland, where
# the session has no tray, the compositor closes the window; the window is a Wayland window, and
# the only one, and when the compositor ends the program saves before it goes (the usage
# identity, written only then, is there). On X11,
# Escape closes it, the tray icon is in the panel and a double click on it shows the window
# again; the icon's menu opens the preferences, and its "Exit", chosen while the preferences are
# open, ends the program with status 0 and a task typed just before saved.
source "$(dirname "$0")/lib.sh"

task "Buy milk"
write_db
start_app
first=$WIN
hide() {
    log "closing the main window"
    # X11: Escape in the task list, focused by a click on empty space (it opens nothing).
    if ((WAYLAND)); then swaymsg "[app_id=mirevo] kill" >/dev/null; else click 500 250 && sleep 0.3 && press Escape; fi
    wait_until 10 window_hidden || fail "the window is still visible 10 s after it was closed"
    kill -0 "$APP_PID" 2>/dev/null || fail "the program quit instead of hiding its window"
}

hide
log "starting a second instance"
timeout 15 "$MIREVO" >"$OUT/second.log" 2>&1 || fail "the second instance exited with status $? (see second.log)"
window_up "the second instance"
[[ $WIN == "$first" ]] || fail "a different window ($WIN) is visible instead of the first one ($first)"
kill -0 "$APP_PID" 2>/dev/null || fail "the first instance is gone"
wait_until 5 focused_main || fail "the shown window is not the focused window"
if ((WAYLAND)); then
    [[ "$WW $WH" == "800 450" ]] || fail "the window came back ${WW}x$WH, not 800x450"
    [[ $(windows | cut -d'|' -f1,2) == "mirevo|Mirevo" ]] || fail "sway lists other windows: $(windows | paste -sd' ')"
    [[ ! -e $DATA/metrics.xml ]] || fail "metrics.xml was written before the end"
    log "the compositor ends"
    swaymsg exit >/dev/null 2>&1
    wait_exit any
    [[ -f $DATA/metrics.xml ]] || fail "nothing was saved when the compositor ended"
    exit 0
fi
[[ "$WX $WY $WW $WH" == "100 100 800 450" ]] || fail "the window came back at $WX,$WY ${WW}x$WH, not 100,100 800x450"

wait_until 20 tray_icon_ready || fail "no tray icon in the panel within 20 s"
hide
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
