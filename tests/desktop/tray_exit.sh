#!/usr/bin/env bash
# The tray icon appears in the panel; a double click on it shows the hidden window; its right
# click menu opens the preferences, and "Exit" chosen from it while the preferences dialog is
# still open ends the program with status 0 and a changed task written.
source "$(dirname "$0")/lib.sh"

NAME="Exit from the tray $$"
write_settings
write_one_task
start_app
wait_until 20 tray_icon_ready || fail "no tray icon in the panel within 20 s"
log "tray icon $TRAY_ICON"
"$SHOT" "$OUT/panel.png" >/dev/null 2>&1
add_task "$NAME"

log "Escape hides the window; a double click on the tray icon brings it back"
xdotool key Escape
wait_until 10 window_hidden || fail "the window is still visible after Escape"
tray_click 1 2
wait_until 10 window_visible || fail "a double click on the tray icon did not show the window"
[[ $(main_window) == "$WIN" ]] || fail "another window came up"

log "right click: the menu; Preferences..."
tray_click 3
wait_until 10 popup_menu || fail "no menu after a right click on the tray icon"
"$SHOT" "$OUT/tray-menu.png" >/dev/null 2>&1
# From the end of the menu: Exit, About, Preferences.
xdotool key Up Up Up Return
prefs() { xdotool search --onlyvisible --name '^Mirevo Preferences$' 2>/dev/null | head -n1; }
wait_until 10 eval '[[ -n $(prefs) ]]' || fail "the preferences dialog did not open"
"$SHOT" "$OUT/preferences.png" "$(prefs)" >/dev/null 2>&1

log "right click again, Exit, with the dialog open"
park_mouse
tray_click 3
wait_until 10 popup_menu || fail "no menu while the preferences dialog is open"
xdotool key Up Return
wait_exit
saved_task "$NAME"
