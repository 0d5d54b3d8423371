#!/usr/bin/env bash
# Dragging an Inbox task onto the user group "Work" in the group panel moves it there.
source "$(dirname "$0")/lib.sh"

T1='{11111111-1111-4111-8111-111111111111}'
T2='{22222222-2222-4222-8222-222222222222}'
WORK_ID='{33333333-3333-4333-8333-333333333333}'
write_settings
write_db "<tid>$T1</tid><tid>$T2</tid>" \
    "<g name=\"Work\" id=\"$WORK_ID\"><icon>money</icon></g>" \
    "$(todo_xml "$T1" 'Buy milk')$(todo_xml "$T2" 'Renew the passport')"
start_app

shot before
rows=($(task_rows "$OUT/before.png"))
groups=($(group_rows "$OUT/before.png"))
((${#rows[@]} == 2)) || fail "expected 2 task rows, found ${#rows[@]} (see before.png)"
((${#groups[@]} == 6)) || fail "expected 6 rows in the group panel (Today, Upcoming, Inbox, Work, Completed, Trash), found ${#groups[@]}"
log "task rows at y=${rows[*]}, group rows at y=${groups[*]}"

log "dragging 'Buy milk' onto Work"
drag 260 "${rows[0]}" 70 "${groups[3]}"
wait_change "$OUT/before.png" "drop on Work" 191 0 $((WW - 191)) $((WH - 60))
shot after
rows=($(task_rows "$OUT/after.png"))
((${#rows[@]} == 1)) || fail "expected 1 task row left in Inbox, found ${#rows[@]} (see after.png)"

stop_app
work=$($XMLQ tids "$DB" Work) || fail "cannot read Work from database.xml"
inbox=$($XMLQ tids "$DB" Inbox) || fail "cannot read Inbox from database.xml"
grep -qxF "$T1" <<<"$work" || fail "task $T1 is not listed in Work (Work: $work)"
! grep -qxF "$T1" <<<"$inbox" || fail "task $T1 is still listed in Inbox"
grep -qxF "$T2" <<<"$inbox" || fail "task $T2 is missing from Inbox (Inbox: $inbox)"
