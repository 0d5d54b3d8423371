#!/usr/bin/env bash
# Started hidden in the tray with one task overdue and one due today in the group "Errands" (the
# Inbox holds a task without a due date), the program shows a reminder balloon from its tray icon;
# a click on the balloon brings the window up on Errands, the group of the task named first.
source "$(dirname "$0")/lib.sh"

task "Buy milk"
group Errands money
task "Call Ann" "$(day_ms 'today 12:00')"
task "Pay rent" "$(day_ms 'yesterday 12:00')"
write_db false false
start_app --hidden
# The balloon: a popup of the program larger than the tray icon.
wait_until 15 popup 100 || fail "no reminder balloon within 15 s"
sleep 0.5
log "a click on the balloon"
xdotool mousemove --window "$POPUP" 40 20 sleep 0.2 click 1
window_up "a click on the balloon"
expect_rows after-click 2
popup 100 && fail "the balloon is still up after the click"
stop_app
