#!/usr/bin/env bash
# On Wayland, with the program running (its window open: there is no tray), "mirevo --add" from
# a second process adds the task: it reaches database.xml with its notes and due date, shows up as
# a new row, and no other window opens; after SIGTERM both tasks added are saved at the end of
# the Inbox.
source "$(dirname "$0")/lib.sh"

NAME="Call the plumber $$"
NOTES=$'Leak under the sink\n"bring a bucket" – Zoë'
SECOND="Buy washers $$"
write_settings
write_one_task
start_app

add() {
    local rc
    log "mirevo --add '$1' ${*:2}"
    timeout 15 "$MIREVO" --add "$@" >>"$OUT/add.log" 2>&1
    rc=$?
    ((rc == 0)) || fail "mirevo --add exited with status $rc (see add.log)"
}
on_disk() { [[ -f $DB ]] && $XMLQ task-id "$DB" "$1" >/dev/null 2>&1; }
row_count() {
    shot _rows || return 1
    local found=($(task_rows "$OUT/_rows.png"))
    ((${#found[@]} == $1))
}
only_window() {
    local windows
    windows=$(python3 "$HERE/wl.py" windows)
    [[ $windows == $'mirevo\tMirevo' ]] || fail "expected only the main window, sway lists: $windows"
}

add "$NAME" --notes "$NOTES" --due tomorrow
wait_until 10 on_disk "$NAME" || fail "the task did not reach database.xml within 10 s"
[[ $($XMLQ task-field "$DB" "$NAME" notes) == "$NOTES" ]] ||
    fail "notes in database.xml: '$($XMLQ task-field "$DB" "$NAME" notes)'"
due=$(date -d 'tomorrow 00:00' +%s)000
[[ $($XMLQ task-field "$DB" "$NAME" due) == "$due" ]] ||
    fail "due in database.xml: $($XMLQ task-field "$DB" "$NAME" due), expected $due (tomorrow at midnight)"
wait_until 10 row_count 2 || fail "the task added from the command line did not show as a second row"
only_window

add "$SECOND"
wait_until 10 row_count 3 || fail "the second task did not show as a third row"
wait_until 10 settled || fail "the window did not settle after the new row"
shot added
only_window
kill -0 "$APP_PID" 2>/dev/null || fail "the running program is gone"

stop_app
saved_task "$NAME"
saved_task "$SECOND"
inbox=$($XMLQ tids "$DB" Inbox)
[[ $(tail -n1 <<<"$inbox") == $($XMLQ task-id "$DB" "$SECOND") ]] ||
    fail "the task added last is not the last one in the Inbox (Inbox: $inbox)"
