#!/usr/bin/env bash
# A day's planning with real keys: three tasks deleted come back in place with Ctrl+Z; a weekly
# task marked done is followed by next week's, right after it; Today lists what is due in two
# groups.
A11Y_BUS=1
source "$(dirname "$0")/lib.sh"
items() { /usr/bin/python3 "$HERE/a11y.py" items Tasks; }

TODAY=$(day_ms 'today 00:00')
for name in One Two Three Four; do task $name; done
task "Water the plants" "$TODAY" "<repeat>FREQ=WEEKLY</repeat>"
task "Call Ana" "$TODAY"
group Work
task Report "$(day_ms 'yesterday 00:00')"
write_db
start_app QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1
/usr/bin/python3 "$HERE/a11y.py" wait || fail "the program is not on the accessibility bus"
expect_rows before 6

log "select Two to Four, Delete"
click 500 "${ROWS[1]}"
press shift+Down shift+Down Delete
expect Inbox One "Water the plants" "Call Ana"
log "Ctrl+Z"
press ctrl+z
expect Inbox One Two Three Four "Water the plants" "Call Ana"
selected=$(items | awk -F'\t' '$3 ~ /selected/ {print $1}' | cut -d, -f1 | paste -sd' ')
[[ $selected == "Two Three Four" ]] || fail "rows selected after Ctrl+Z: '$selected', expected Two Three Four"
still_shot undone

log "the weekly task done with Space"
click 500 "${ROWS[4]}"
press space
weekly="Water the plants|yes|$TODAY Water the plants|no|$(day_ms '+7 days 00:00')"
wait_until 10 eval '[[ $(xq list Inbox name completed due | paste -sd" ") == "One|no| Two|no| Three|no| Four|no| $weekly Call Ana|no|$TODAY" ]]' ||
    fail "the Inbox holds $(xq list Inbox name completed due | paste -sd' '), not the next occurrence a week on right after the done one"
still_shot weekly

log "Today, from the group panel: Shift+Tab, Home"
press shift+Tab Home
today() { items >"$OUT/today.txt" 2>/dev/null && [[ $(cut -f1 "$OUT/today.txt" | cut -d, -f1 | paste -sd'|') == "Report|Call Ana" ]]; }
wait_until 10 today || fail "Today lists $(cut -f1 "$OUT/today.txt" | paste -sd'|'), expected Report (Work, overdue) then Call Ana (Inbox)"
grep -q Work "$OUT/today.txt" && grep -q Inbox "$OUT/today.txt" || fail "Today's rows do not name their groups (see today.txt)"
still_shot today
stop_app
