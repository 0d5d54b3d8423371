#!/usr/bin/env bash
# Dragging the user group "Gamma" onto "Alpha" moves it to Alpha's place.
source "$(dirname "$0")/lib.sh"

write_settings
write_db "" \
    '<g name="Alpha" id="{aaaaaaaa-0000-4000-8000-00000000000a}"><icon>home</icon></g><g name="Beta" id="{bbbbbbbb-0000-4000-8000-00000000000b}"><icon>money</icon></g><g name="Gamma" id="{cccccccc-0000-4000-8000-00000000000c}"><icon>party</icon></g>' \
    ""
start_app

shot before
groups=($(group_rows "$OUT/before.png"))
# Today, Upcoming, Inbox, Alpha, Beta, Gamma, Completed, Trash
((${#groups[@]} == 8)) || fail "expected 8 rows in the group panel, found ${#groups[@]} (see before.png)"
log "group rows at y=${groups[*]}"

log "dragging Gamma onto Alpha"
drag 70 "${groups[5]}" 70 "${groups[3]}" during-drag
wait_change "$OUT/before.png" "drop on Alpha" 0 0 190 $((WH - 60))
shot after

stop_app
order=$($XMLQ groups "$DB" | tr '\n' ' ')
[[ $order == "Inbox Completed Trash Gamma Alpha Beta " ]] ||
    fail "group order is '$order', expected 'Inbox Completed Trash Gamma Alpha Beta '"
