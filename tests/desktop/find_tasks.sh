#!/usr/bin/env bash
# Ctrl+F shows the find field; typing finds a task of another group, accents ignored; Return
# opens it in place and what is typed there is saved; Escape brings back the Inbox.
source "$(dirname "$0")/lib.sh"

A='{11111111-1111-4111-8111-111111111111}'
B='{22222222-2222-4222-8222-222222222222}'
C='{33333333-3333-4333-8333-333333333333}'
write_settings
write_db "<tid>$A</tid><tid>$B</tid>" "<g name=\"Errands\" id=\"{44444444-4444-4444-8444-444444444444}\"><tid>$C</tid></g>" \
    "$(todo_xml "$A" 'Buy milk')$(todo_xml "$B" 'Call Ana')$(todo_xml "$C" 'Pick up the Café order')"
start_app

shot before
log "Ctrl+F, then the query"
xdotool key ctrl+f
sleep 0.3
xdotool type --delay 30 "cafe ORDER"
sleep 0.5
park_mouse
wait_until 10 settled || fail "the window did not settle after typing the query"
shot found
# Rows under the find field.
rows=($(task_rows "$OUT/found.png" | awk '$1 > 40'))
((${#rows[@]} == 1)) || fail "expected 1 found task, found ${#rows[@]} rows (see found.png)"

log "Return opens the found task; typing renames it"
xdotool key Return
sleep 0.3
xdotool key End
xdotool type --delay 20 " today"
xdotool key Return
sleep 0.3
on_disk() { [[ -f $DB ]] && $XMLQ task-id "$DB" 'Pick up the Café order today' >/dev/null 2>&1; }
wait_until 10 on_disk || fail "the renamed found task was not written within 10 s"

log "Escape brings back the Inbox"
xdotool key ctrl+f
sleep 0.2
xdotool key Escape
sleep 0.3
park_mouse
wait_until 10 settled || fail "the window did not settle after Escape"
shot after
rows=($(task_rows "$OUT/after.png"))
((${#rows[@]} == 2)) || fail "expected the Inbox's 2 rows after Escape, found ${#rows[@]} (see after.png)"
stop_app
