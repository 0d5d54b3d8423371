#!/usr/bin/env bash
# What a screen reader finds, through the accessibility bus (a session bus of the test's own):
# no control the keyboard reaches without a name; the task list's items are every task of the
# group, rows far out of view too, with due dates and notes; the group panel's items carry their
# counts; Down in either list, and in an open calendar, announces the new item; with a tray in
# the panel the program's menu opens from the window with F10 and leads to Preferences.
source "$(dirname "$0")/a11y_bus.sh"
source "$(dirname "$0")/lib.sh"
A11Y="/usr/bin/python3 $HERE/a11y.py"

T='{11111111-1111-4111-8111-1111111111'
WORK_ID='{44444444-4444-4444-8444-444444444444}'
tomorrow=$(($(date -d 'tomorrow 00:00' +%s) * 1000))
yesterday=$(($(date -d 'yesterday 00:00' +%s) * 1000))
tids="<tid>${T}00}</tid>" todos="<t><id>${T}00}</id><name>Call the dentist</name><notes>Ask about the bill</notes><due>$tomorrow</due><completed>no</completed><tcrt>1700000000000</tcrt></t>"
for ((i = 1; i <= 80; i++)); do
    id=$(printf '%s%02d}' "$T" "$i")
    tids+="<tid>$id</tid>"
    todos+=$(todo_xml "$id" "$(printf 'Errand %02d' "$i")")
done
work="<g name=\"Work\" id=\"$WORK_ID\"><tid>{22222222-2222-4222-8222-222222222201}</tid><tid>{22222222-2222-4222-8222-222222222202}</tid></g>"
todos+=$(todo_xml '{22222222-2222-4222-8222-222222222201}' 'Send the report' "$yesterday")
todos+=$(todo_xml '{22222222-2222-4222-8222-222222222202}' 'Book the room' "$yesterday")
write_settings
write_db "$tids" "$work" "$todos"
start_app QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1
$A11Y wait || fail "the program is not on the accessibility bus"

log "every control the keyboard reaches has a name"
unnamed=$($A11Y unnamed) || fail "controls without a name: $unnamed"

log "the task list's items"
$A11Y items Tasks >"$OUT/tasks.txt" || fail "no list named Tasks"
(($(wc -l <"$OUT/tasks.txt") == 81)) || fail "the task list has $(wc -l <"$OUT/tasks.txt") items, not 81 (see tasks.txt)"
grep -q '^Errand 80' "$OUT/tasks.txt" || fail "the last task, far out of view, is not an item (see tasks.txt)"
dentist=$(grep '^Call the dentist' "$OUT/tasks.txt") || fail "no item for Call the dentist"
[[ $dentist == *tomorrow* && $dentist == *notes* ]] || fail "the item does not say its due date and notes: $dentist"

log "the group panel's items"
$A11Y items Groups >"$OUT/groups.txt" || fail "no list named Groups"
grep -q '^Work, 2 due today or overdue' "$OUT/groups.txt" || fail "the Work group does not say its counts (see groups.txt)"

log "Down in the task list and in the group panel is announced"
activate
$A11Y focus Down Down >"$OUT/focus-tasks.txt"
grep -q '^Errand 01' "$OUT/focus-tasks.txt" || fail "Down in the task list announced: $(tr '\n' '|' <"$OUT/focus-tasks.txt")"
$A11Y focus shift+Tab Down >"$OUT/focus-groups.txt"
grep -q '^Work' "$OUT/focus-groups.txt" || fail "Down in the group panel announced: $(tr '\n' '|' <"$OUT/focus-groups.txt")"

log "the calendar's days by keyboard"
press Tab ctrl+n
sleep 0.5
type_text "Plan the trip"
press Tab Tab
sleep 0.5
$A11Y focus Down >"$OUT/focus-calendar.txt"
grep -q "$(date -d '+8 days' +%Y)" "$OUT/focus-calendar.txt" ||
    fail "Down in the open calendar announced no day: $(tr '\n' '|' <"$OUT/focus-calendar.txt")"
press Escape Escape

log "F10 opens the program's menu beside the tray; Preferences from it"
press F10
wait_until 5 popup_menu || fail "F10 opened no menu"
# From the end of the menu: Exit, About, Preferences.
press Up Up Up Return
prefs() { xdotool search --onlyvisible --name '^Mirevo Preferences$' >/dev/null 2>&1; }
wait_until 10 prefs || fail "Preferences did not open from the menu"
screen_shot "$OUT/preferences.png"
press Escape
stop_app
