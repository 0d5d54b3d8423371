#!/usr/bin/env bash
# Real keys and a real drag through the window manager. Ctrl+N opens a new task: its name, Tab,
# notes, Tab to the due date opens the calendar, while the keyboard stays with the main window
# and nothing asks for attention; Return takes the proposed day (tomorrow), Escape closes the
# editor. A task dragged onto the group "Errands" in the group panel moves there. Ctrl+Q ends the
# program with status 0, and database.xml holds it all.
source "$(dirname "$0")/lib.sh"

task "Buy milk"
task "Call Ana"
group Errands
write_db
start_app
log "Ctrl+N: a name, Tab, notes, Tab to the due date"
press ctrl+n
sleep 0.5
type_text "Buy stamps"
press Tab
type_text "at the post office"
press Tab
wait_until 5 popup || fail "Tab to the due date opened no calendar"
sleep 0.5
wait_until 5 focused_main || fail "the window lost the keyboard, or asks for attention, with the calendar up"
press Return Escape
expect Inbox "Buy milk" "Call Ana" "Buy stamps"
expect_field "Buy stamps" notes "at the post office"
expect_field "Buy stamps" due "$(day_ms 'tomorrow 00:00')"

expect_rows before 3
groups=($(group_rows "$OUT/before.png"))
((${#groups[@]} == 6)) || fail "expected 6 rows in the group panel, found ${#groups[@]} (see before.png)"
log "dragging 'Buy milk' onto Errands"
drag 260 "${ROWS[0]}" 70 "${groups[3]}"
log "Ctrl+Q"
press ctrl+q
wait_exit
expect Inbox "Call Ana" "Buy stamps"
expect Errands "Buy milk"
