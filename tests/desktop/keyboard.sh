#!/usr/bin/env bash
# A whole session without the mouse. Ctrl+F shows the find field; typing finds a task of another
# group, accents ignored; Return opens it in place and what is typed there is saved; Escape brings
# back the Inbox. A new group from the group panel's menu; two tasks with names, notes and a due
# date, one completed and cleaned up into Completed; the Completed group shown; Ctrl+Q ends the
# program with status 0, and database.xml holds it all.
source "$(dirname "$0")/lib.sh"

task "Buy milk"
task "Call Ana"
group Shop
task "Pick up the Café order"
write_db
start_app
# keys KEY|=TEXT...: real key presses and typed texts in turn, with time to react to each.
keys() {
    local k
    for k; do if [[ $k == =* ]]; then xdotool type --delay 30 "${k#=}"; sleep 0.3; else xdotool key "$k"; sleep 0.12; fi; done
    sleep 0.3
}

log "Ctrl+F, then the query"
keys ctrl+f "=cafe ORDER"
expect_rows found 1 40                     # the rows under the find field
log "Return opens the found task; typing renames it"
keys Return
keys End "= today" Return
expect Shop "Pick up the Café order today"
log "Escape brings back the Inbox"
keys ctrl+f Escape
expect_rows inbox 2

log "the group panel: Shift+Tab, the menu key, Add group"
keys shift+Tab Menu
wait_until 10 popup || fail "the menu key opened no menu on the group panel"
keys Down Return
wait_until 10 shown '^New group$' || fail "the new group dialog did not open"
keys "=Errands" Return
log "two tasks with Ctrl+N: name, Tab, notes, Tab, due date (Return takes the proposal)"
keys ctrl+n "=Buy stamps" Tab "=at the post office" Tab Return Escape ctrl+n "=Post the letter" Return
log "Home, Space completes the first task; Tab Tab Tab Space presses Cleanup"
keys Home space Tab Tab Tab space
log "the Completed group: Tab past Compact comes round to the group panel"
keys Tab Tab End Up Return
expect_rows completed 1
keys ctrl+q
wait_exit

expect Errands "Post the letter"
expect Completed "Buy stamps"
expect_field "Buy stamps" notes "at the post office"
expect_field "Buy stamps" completed yes
due=$(xq task "Buy stamps" due)
[[ -n $due && $(date -d "@$((due / 1000))" +%F) == $(date -d tomorrow +%F) ]] || fail "the due date is not tomorrow ($due)"
