#!/usr/bin/env bash
# Without a tray host (session started with --no-tray) the window shows although the settings
# say it should not, closing it only minimises it, and the tool button at the toolbar's right
# end opens the tray's menu, whose "Exit" ends the program with status 0, a changed task written.
source "$(dirname "$0")/lib.sh"

NAME="Exit without a tray $$"
write_settings false false
write_one_task
start_app
add_task "$NAME"
shot window-without-tray

iconic() { xprop -id "$WIN" WM_STATE 2>/dev/null | grep -q 'Iconic'; }
log "Escape minimises the window"
xdotool key Escape
wait_until 10 iconic || fail "the window was not minimised by Escape"
kill -0 "$APP_PID" 2>/dev/null || fail "the program ended"
xdotool windowactivate --sync "$WIN" >/dev/null 2>&1 || xdotool windowmap "$WIN"
wait_until 10 window_visible || fail "the minimised window could not be brought back"
wait_until 10 painted || fail "the window was not painted again"

log "the menu button at the toolbar's right end"
click $((WW - 25)) $((WH - 25))
wait_until 10 popup_menu || fail "the toolbar's menu button opened no menu"
"$SHOT" "$OUT/toolbar-menu.png" >/dev/null 2>&1
xdotool key Up Return
wait_exit
saved_task "$NAME"
