#!/usr/bin/env bash
# A whole session without the mouse: a new group from the group panel's menu, two tasks with
# names, notes and a due date, one completed and cleaned up into Completed, the Completed
# group shown, and Ctrl+Q; then database.xml holds it all.
source "$(dirname "$0")/lib.sh"

write_settings
write_one_task
start_app
keys() { xdotool key --delay 120 "$@"; sleep 0.4; }
type_text() { xdotool type --delay 30 "$1"; sleep 0.3; }

log "the group panel: Shift+Tab, the menu key, Add group"
keys shift+Tab
keys Menu
wait_until 10 popup_menu || fail "the menu key opened no menu on the group panel"
keys Down Return
wait_until 10 eval '[[ -n $(xdotool search --onlyvisible --name "^New group$" 2>/dev/null) ]]' ||
    fail "the new group dialog did not open"
type_text "Errands"
keys Return
shot group-added

log "two tasks with Ctrl+N: name, Tab, notes, Tab, due date (Return takes the proposal)"
keys ctrl+n
type_text "Buy stamps"
keys Tab
type_text "at the post office"
keys Tab Return Escape
keys ctrl+n
type_text "Post the letter"
keys Return
shot two-tasks

log "Up to the first task, Space completes it; Tab Tab Tab Space presses Cleanup"
keys Home space
keys Tab Tab Tab space
shot cleaned-up

log "the Completed group: Tab past Compact comes round to the group panel"
keys Tab Tab End Up Return
park_mouse
wait_until 10 settled || fail "the window did not settle"
shot completed
rows=($(task_rows "$OUT/completed.png"))
((${#rows[@]} == 1)) || fail "Completed shows ${#rows[@]} rows, expected the one cleaned-up task (see completed.png)"
keys ctrl+q
wait_exit

errands=$($XMLQ tids "$DB" Errands) || fail "no group Errands in database.xml"
completed=$($XMLQ tids "$DB" Completed)
stamps=$($XMLQ task-id "$DB" "Buy stamps") || fail "no task Buy stamps"
letter=$($XMLQ task-id "$DB" "Post the letter") || fail "no task Post the letter"
[[ $errands == "$letter" ]] || fail "Errands holds '$errands', expected only Post the letter"
grep -qxF "$stamps" <<<"$completed" || fail "Buy stamps is not in Completed"
[[ $($XMLQ task-field "$DB" "Buy stamps" notes) == "at the post office" ]] || fail "the notes were not saved"
[[ $($XMLQ task-field "$DB" "Buy stamps" completed) == yes ]] || fail "Buy stamps is not completed"
due=$($XMLQ task-field "$DB" "Buy stamps" due)
[[ -n $due ]] || fail "no due date was saved"
tomorrow=$(date -d tomorrow +%F)
[[ $(date -d "@$((due / 1000))" +%F) == "$tomorrow" ]] || fail "the due date is not tomorrow ($due)"
