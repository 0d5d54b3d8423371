#!/usr/bin/env bash
# A day's planning with real keys, as a screen reader follows it on the accessibility bus (a
# session bus of the test's own). No control the keyboard reaches is without a name; the task
# list's items are every task of the group, rows far out of view too, with due dates and notes;
# the group panel's items carry their counts; Down in either list, and in an open calendar,
# announces the new item; the program's menu opens from the window with F10 and leads to
# Preferences. Three tasks deleted come back in place and selected with Ctrl+Z.
A11Y_BUS=1
source "$(dirname "$0")/lib.sh"
a11y() { /usr/bin/python3 "$HERE/a11y.py" "$@"; }

TODAY=$(day_ms 'today 00:00') YESTERDAY=$(day_ms 'yesterday 00:00') ERRANDS=()
for name in One Two Three Four; do task $name; done
task "Water the plants" "$TODAY" "<repeat>FREQ=WEEKLY</repeat>"
task "Call Ana" "$TODAY"
task "Call the dentist" "$(day_ms 'tomorrow 00:00')" "<notes>Ask about the bill</notes>"
for ((i = 1; i <= 80; i++)); do ERRANDS+=("$(printf 'Errand %02d' "$i")") && task "${ERRANDS[-1]}"; done
group Work
task Report "$YESTERDAY"
task "Book the room" "$YESTERDAY"
write_db
start_app QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1
a11y wait || fail "the program is not on the accessibility bus"

log "every control the keyboard reaches has a name; the lists' items"
unnamed=$(a11y unnamed) || fail "controls without a name: $unnamed"
a11y items Tasks >"$OUT/tasks.txt" || fail "no list named Tasks"
(($(wc -l <"$OUT/tasks.txt") == 87)) || fail "the task list has $(wc -l <"$OUT/tasks.txt") items, not 87 (see tasks.txt)"
grep -q '^Errand 80' "$OUT/tasks.txt" || fail "the last task, far out of view, is not an item (see tasks.txt)"
dentist=$(grep '^Call the dentist' "$OUT/tasks.txt") || fail "no item for Call the dentist"
[[ $dentist == *tomorrow* && $dentist == *notes* ]] || fail "the item does not say its due date and notes: $dentist"
a11y items Groups >"$OUT/groups.txt" || fail "no list named Groups"
grep -q '^Work, 2 due today or overdue' "$OUT/groups.txt" || fail "the Work group does not say its counts (see groups.txt)"

log "Down in the task list and in the group panel is announced"
activate
a11y focus Down Down >"$OUT/focus-tasks.txt"
grep -q '^Two' "$OUT/focus-tasks.txt" || fail "Down in the task list announced: $(paste -sd'|' "$OUT/focus-tasks.txt")"
a11y focus shift+Tab Down >"$OUT/focus-groups.txt"
grep -q '^Work' "$OUT/focus-groups.txt" || fail "Down in the group panel announced: $(paste -sd'|' "$OUT/focus-groups.txt")"
log "the calendar's days by keyboard, in a new task of Work"
press Tab ctrl+n
sleep 0.5
type_text "Plan the trip"
press Tab Tab
sleep 0.5
a11y focus Down >"$OUT/focus-calendar.txt"
grep -q "$(date -d '+8 days' +%Y)" "$OUT/focus-calendar.txt" || fail "Down in the open calendar announced no day: $(paste -sd'|' "$OUT/focus-calendar.txt")"
press Escape Escape
log "F10 opens the program's menu beside the tray; Preferences from it"
press F10
wait_until 5 popup || fail "F10 opened no menu"
press Up Up Up Return                      # from the end: Exit, About, Preferences
wait_until 10 shown '^Mirevo Preferences$' || fail "Preferences did not open from the menu"
screen_shot "$OUT/preferences.png"
press Escape

log "back to the Inbox; select Two to Four, Delete"
still_shot work
groups=($(group_rows "$OUT/work.png"))
click 70 "${groups[2]}"
still_shot before
ROWS=($(task_rows "$OUT/before.png"))
click 500 "${ROWS[1]}"
press shift+Down shift+Down Delete
expect Inbox One "Water the plants" "Call Ana" "Call the dentist" "${ERRANDS[@]}"
log "Ctrl+Z"
press ctrl+z
expect Inbox One Two Three Four "Water the plants" "Call Ana" "Call the dentist" "${ERRANDS[@]}"
selected=$(a11y items Tasks | awk -F'\t' '$3 ~ /selected/ {print $1}' | cut -d, -f1 | paste -sd' ')
[[ $selected == "Two Three Four" ]] || fail "rows selected after Ctrl+Z: '$selected', expected Two Three Four"

stop_app
