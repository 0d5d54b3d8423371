#!/usr/bin/env bash
# Without a tray host (session started with --no-tray) the window shows although the settings say
# it should not, Escape only minimises it, and the tool button at the toolbar's right end opens
# the tray's menu, whose "Exit" ends the program with status 0 (what it writes then: the tray's
# own test in raise_hidden.sh).
source "$(dirname "$0")/lib.sh"

task "Buy milk"
write_db false false
start_app
log "Escape minimises the window"
press Escape
wait_until 10 eval 'xprop -id "$WIN" WM_STATE 2>/dev/null | grep -q Iconic' || fail "the window was not minimised by Escape"
kill -0 "$APP_PID" 2>/dev/null || fail "the program ended"
xdotool windowactivate --sync "$WIN" >/dev/null 2>&1 || xdotool windowmap "$WIN"
window_up "activating the minimised window"
log "the menu button at the toolbar's right end, Exit"
click $((WW - 25)) $((WH - 25))
wait_until 10 popup || fail "the toolbar's menu button opened no menu"
press Up Return
wait_exit
