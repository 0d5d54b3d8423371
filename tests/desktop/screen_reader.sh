#!/usr/bin/env bash
# What a screen reader learns on the accessibility bus (a session bus of the test's own): the
# task list's items are every task of the group, rows far out of view too, and an item says its
# due date and notes.
A11Y_BUS=1
source "$(dirname "$0")/lib.sh"

for ((i = 1; i <= 80; i++)); do task "$(printf 'Errand %02d' "$i")"; done
task "Call the dentist" "$(day_ms 'tomorrow 00:00')" "<notes>Ask about the bill</notes>"
write_db
start_app QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1
/usr/bin/python3 "$HERE/a11y.py" Tasks >"$OUT/tasks.txt" || fail "no list named Tasks on the bus"
(($(wc -l <"$OUT/tasks.txt") == 81)) || fail "the task list has $(wc -l <"$OUT/tasks.txt") items, not 81"
item=$(grep '^Call the dentist' "$OUT/tasks.txt") || fail "no item for the last task, far out of view"
[[ $item == *tomorrow* && $item == *notes* ]] || fail "the item does not say its due date and notes: $item"
stop_app
