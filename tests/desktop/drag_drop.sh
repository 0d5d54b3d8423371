#!/usr/bin/env bash
# With the mouse: the first of two tasks dropped just below the second goes after it; a task
# dropped on the user group "Alpha" in the group panel moves there; the user group "Gamma" dropped
# on "Alpha" takes Alpha's place.
source "$(dirname "$0")/lib.sh"

task "Buy milk"
task "Renew the passport"
group Alpha home
group Beta money
group Gamma party
write_db
start_app
expect_rows before 2
groups=($(group_rows "$OUT/before.png"))
((${#groups[@]} == 8)) || fail "expected 8 rows in the group panel (Today, Upcoming, Inbox, Alpha, Beta, Gamma, Completed, Trash), found ${#groups[@]}"

# A row dropped on a row goes before it; dropped below the last row it goes after it.
log "dragging the first task below the second"
drag 260 "${ROWS[0]}" 300 $((ROWS[1] + (ROWS[1] - ROWS[0]) * 3 / 4))
expect Inbox "Renew the passport" "Buy milk"
expect_rows reordered 2
log "dragging 'Renew the passport' onto Alpha"
drag 260 "${ROWS[0]}" 70 "${groups[3]}"
expect_rows moved 1
expect Alpha "Renew the passport"
expect Inbox "Buy milk"
log "dragging Gamma onto Alpha"
drag 70 "${groups[5]}" 70 "${groups[3]}"
group_order() { [[ $(xq groups | paste -sd' ') == "Inbox Completed Trash Gamma Alpha Beta" ]]; }
wait_until 10 group_order || fail "the groups are saved in the order '$(xq groups | paste -sd' ')', not Gamma Alpha Beta"
still_shot groups-moved
stop_app
group_order || fail "the group order was lost at the end"
expect Alpha "Renew the passport"
