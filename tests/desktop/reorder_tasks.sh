#!/usr/bin/env bash
# Dragging the first of two tasks to just below the second one puts it after the second.
source "$(dirname "$0")/lib.sh"

T1='{11111111-1111-4111-8111-111111111111}'
T2='{22222222-2222-4222-8222-222222222222}'
write_settings
write_db "<tid>$T1</tid><tid>$T2</tid>" "" \
    "$(todo_xml "$T1" 'Buy milk')$(todo_xml "$T2" 'Renew the passport')"
start_app

shot before
rows=($(task_rows "$OUT/before.png"))
((${#rows[@]} == 2)) || fail "expected 2 task rows, found ${#rows[@]} (see before.png)"
log "task rows at y=${rows[*]}"
pitch=$((rows[1] - rows[0]))

# A row dropped on a row goes before it; dropped below the last row it goes after it.
log "dragging the first task below the second"
drag 260 "${rows[0]}" 300 $((rows[1] + pitch * 3 / 4)) during-drag
wait_change "$OUT/before.png" "drop below the second row" 191 0 $((WW - 191)) $((WH - 60))
shot after
rows=($(task_rows "$OUT/after.png"))
((${#rows[@]} == 2)) || fail "expected 2 task rows after the drop, found ${#rows[@]} (see after.png)"

stop_app
order=$($XMLQ tids "$DB" Inbox | tr '\n' ' ')
[[ $order == "$T2 $T1 " ]] || fail "Inbox order is '$order', expected '$T2 $T1 '"
