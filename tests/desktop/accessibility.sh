#!/usr/bin/env bash
# What a screen reader finds, through the accessibility bus (a session bus of the test's own):
# no control the keyboard reaches without a name; the task list's items are every task of the
# group, rows far out of view too, with due dates and notes; the group panel's items carry their
# counts; Down in either list, and in an open calendar, announces the new item; with a tray in
# the panel the program's menu opens from the window with F10 and leads to Preferences.
A11Y_BUS=1
source "$(dirname "$0")/lib.sh"
a11y() { /usr/bin/python3 "$HERE/a11y.py" "$@"; }

task "Call the dentist" "$(day_ms 'tomorrow 00:00')" "<notes>Ask about the bill</notes>"
for ((i = 1; i <= 80; i++)); do task "$(printf 'Errand %02d' "$i")"; done
group Work
task "Send the report" "$(day_ms 'yesterday 00:00')"
task "Book the room" "$(day_ms 'yesterday 00:00')"
write_db
start_app QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1
a11y wait || fail "the program is not on the accessibility bus"

log "every control the keyboard reaches has a name"
unnamed=$(a11y unnamed) || fail "controls without a name: $unnamed"
log "the task list's and the group panel's items"
a11y items Tasks >"$OUT/tasks.txt" || fail "no list named Tasks"
(($(wc -l <"$OUT/tasks.txt") == 81)) || fail "the task list has $(wc -l <"$OUT/tasks.txt") items, not 81 (see tasks.txt)"
grep -q '^Errand 80' "$OUT/tasks.txt" || fail "the last task, far out of view, is not an item (see tasks.txt)"
dentist=$(grep '^Call the dentist' "$OUT/tasks.txt") || fail "no item for Call the dentist"
[[ $dentist == *tomorrow* && $dentist == *notes* ]] || fail "the item does not say its due date and notes: $dentist"
a11y items Groups >"$OUT/groups.txt" || fail "no list named Groups"
grep -q '^Work, 2 due today or overdue' "$OUT/groups.txt" || fail "the Work group does not say its counts (see groups.txt)"

log "Down in the task list and in the group panel is announced"
activate
a11y focus Down Down >"$OUT/focus-tasks.txt"
grep -q '^Errand 01' "$OUT/focus-tasks.txt" || fail "Down in the task list announced: $(paste -sd'|' "$OUT/focus-tasks.txt")"
a11y focus shift+Tab Down >"$OUT/focus-groups.txt"
grep -q '^Work' "$OUT/focus-groups.txt" || fail "Down in the group panel announced: $(paste -sd'|' "$OUT/focus-groups.txt")"

log "the calendar's days by keyboard"
press Tab ctrl+n
sleep 0.5
type_text "Plan the trip"
press Tab Tab
sleep 0.5
a11y focus Down >"$OUT/focus-calendar.txt"
grep -q "$(date -d '+8 days' +%Y)" "$OUT/focus-calendar.txt" ||
    fail "Down in the open calendar announced no day: $(paste -sd'|' "$OUT/focus-calendar.txt")"
press Escape Escape

log "F10 opens the program's menu beside the tray; Preferences from it"
press F10
wait_until 5 popup || fail "F10 opened no menu"
press Up Up Up Return                      # from the end: Exit, About, Preferences
wait_until 10 shown '^Mirevo Preferences$' || fail "Preferences did not open from the menu"
screen_shot "$OUT/preferences.png"
press Escape
stop_app
