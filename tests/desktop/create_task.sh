#!/usr/bin/env bash
# A double click on empty space in the task list creates a task; its name is typed into the
# editor and Return closes it; within seconds, and again after SIGTERM, the task is saved in Inbox.
# Runs on X11 and on Wayland.
source "$(dirname "$0")/lib.sh"

NAME="Water the plants $$"
write_settings
write_db "<tid>{11111111-1111-4111-8111-111111111111}</tid>" "" \
    "$(todo_xml '{11111111-1111-4111-8111-111111111111}' 'Buy milk')"
start_app

shot before
rows=($(task_rows "$OUT/before.png"))
((${#rows[@]} == 1)) || fail "expected 1 task row before, found ${#rows[@]}"

log "double click on empty space"
double_click 500 250
# The editor opens below the last row; its name line has a blinking cursor, so only the
# part below that line has to settle.
below=$((rows[0] + 40))
wait_change "$OUT/before.png" "double click on empty space" 191 0 $((WW - 191)) $((WH - 60)) \
    191 "$below" $((WW - 191)) $((WH - 60 - below))
shot editor-open
log "typing the name"
type_text "$NAME"
sleep 0.3
press Return
sleep 0.3
park_mouse
wait_until 10 settled || fail "the window did not settle after Return"
shot after
rows=($(task_rows "$OUT/after.png"))
((${#rows[@]} == 2)) || fail "expected 2 task rows after creating one, found ${#rows[@]} (see after.png)"

# Written within seconds, while the program runs.
on_disk() { [[ -f $DB ]] && $XMLQ task-id "$DB" "$NAME" >/dev/null 2>&1; }
wait_until 10 on_disk || fail "the new task was not written to database.xml within 10 s"
log "the task reached database.xml while the program runs"
stop_app
id=$($XMLQ task-id "$DB" "$NAME") || fail "no task named '$NAME' in database.xml"
log "new task $id"
inbox=$($XMLQ tids "$DB" Inbox) || fail "cannot read Inbox from database.xml"
grep -qxF "$id" <<<"$inbox" || fail "task $id is not listed in Inbox (Inbox: $inbox)"
[[ $(tail -n1 <<<"$inbox") == "$id" ]] || fail "the new task is not the last one in Inbox (Inbox: $inbox)"
