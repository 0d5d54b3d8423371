#!/usr/bin/env bash
# A day's planning with real keys: three tasks deleted come back in place with Ctrl+Z; a
# weekly task marked done is followed by next week's, right after it; Today lists what is due
# in two groups.
source "$(dirname "$0")/a11y_bus.sh"
source "$(dirname "$0")/lib.sh"

A='{11111111-1111-4111-8111-111111111111}'
B='{22222222-2222-4222-8222-222222222222}'
C='{33333333-3333-4333-8333-333333333333}'
D='{44444444-4444-4444-8444-444444444444}'
W='{55555555-5555-4555-8555-555555555555}'
E='{88888888-8888-4888-8888-888888888888}'
R='{66666666-6666-4666-8666-666666666666}'
WORK='{77777777-7777-4777-8777-777777777777}'
midnight() { echo $(($(date -d "$1 00:00" +%s) * 1000)); }
TODAY=$(midnight today)
write_settings
write_db "<tid>$A</tid><tid>$B</tid><tid>$C</tid><tid>$D</tid><tid>$W</tid><tid>$E</tid>" \
    "<g name=\"Work\" id=\"$WORK\"><icon>folder</icon><tid>$R</tid></g>" \
    "$(todo_xml "$A" One)$(todo_xml "$B" Two)$(todo_xml "$C" Three)$(todo_xml "$D" Four)$(todo_xml "$R" Report "$(midnight yesterday)")$(todo_xml "$E" 'Call Ana' "$TODAY")
<t><id>$W</id><name>Water the plants</name><completed>no</completed><due>$TODAY</due><tcrt>1700000000000</tcrt><repeat>FREQ=WEEKLY</repeat></t>"
start_app QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1
/usr/bin/python3 "$HERE/a11y.py" wait || fail "the program is not on the accessibility bus"

inbox_is() { [[ -f $DB && $($XMLQ tids "$DB" Inbox | tr '\n' ' ') == "$* " ]]; }
shot before
rows=($(task_rows "$OUT/before.png"))
((${#rows[@]} == 6)) || fail "expected 6 task rows, found ${#rows[@]} (see before.png)"

log "select Two to Four, Delete"
click 500 "${rows[1]}"
press shift+Down shift+Down Delete
wait_until 10 inbox_is "$A" "$W" "$E" || fail "Inbox after Delete: $($XMLQ tids "$DB" Inbox | tr '\n' ' ')"
log "Ctrl+Z"
press ctrl+z
wait_until 10 inbox_is "$A" "$B" "$C" "$D" "$W" "$E" || fail "Inbox after Ctrl+Z: $($XMLQ tids "$DB" Inbox | tr '\n' ' ')"
selected=$(/usr/bin/python3 "$HERE/a11y.py" items Tasks | awk -F'\t' '$3 ~ /selected/ {print $1}' | cut -d, -f1 | tr '\n' ' ')
[[ $selected == "Two Three Four " ]] || fail "rows selected after Ctrl+Z: '$selected', expected Two Three Four"
shot undone

log "the weekly task done with Space"
click 500 "${rows[4]}"
press space
next_week() {
    local list
    list=$($XMLQ tasks "$DB" 'Water the plants' 2>/dev/null) || return 1
    grep -qx "$W yes $TODAY" <<<"$list" && grep -q " no $(midnight '+7 days')\$" <<<"$list"
}
wait_until 10 next_week || fail "no next occurrence a week on: $($XMLQ tasks "$DB" 'Water the plants')"
NEXT=$($XMLQ tasks "$DB" 'Water the plants' | awk '$2 == "no" {print $1}')
inbox_is "$A" "$B" "$C" "$D" "$W" "$NEXT" "$E" || fail "the next occurrence is not right after the done one"
shot weekly

log "Today, from the group panel: Shift+Tab, Home"
press shift+Tab Home
today() {
    /usr/bin/python3 "$HERE/a11y.py" items Tasks >"$OUT/today.txt" 2>/dev/null &&
        [[ $(cut -f1 "$OUT/today.txt" | cut -d, -f1 | tr '\n' ' ') == "Report Call Ana " ]]
}
wait_until 10 today || fail "Today lists $(cut -f1 "$OUT/today.txt" | tr '\n' '|'), expected Report (Work, overdue) then Call Ana (Inbox)"
grep -q Work "$OUT/today.txt" && grep -q Inbox "$OUT/today.txt" || fail "Today's rows do not name their groups (see today.txt)"
park_mouse
wait_until 10 settled || fail "the window did not settle on Today"
shot today
stop_app
