#!/usr/bin/env bash
# With the program running hidden in the tray, "mirevo --add" from a second process adds the
# task: it reaches database.xml with its notes and due date and the window stays hidden. Shown
# from the tray, the window lists it in the Inbox; a task added while the window is open shows
# up as a new row, and after SIGTERM both are saved at the end of the Inbox.
source "$(dirname "$0")/lib.sh"

NAME="Call the plumber $$"
NOTES=$'Leak under the sink\n"bring a bucket" – Zoë'
SECOND="Buy washers $$"
write_settings false false
write_one_task

log "starting $MIREVO hidden in the tray"
"$MIREVO" >"$OUT/mirevo.log" 2>&1 &
APP_PID=$!
wait_until 20 tray_icon_ready || fail "no tray icon in the panel within 20 s"
window_hidden || fail "the window opened although the settings say it should not"

# add NAME [OPTIONS...]: a second process adds a task and must exit 0 within 15 s.
add() {
    local rc
    log "mirevo --add '$1' ${*:2}"
    timeout 15 "$MIREVO" --add "$@" >>"$OUT/add.log" 2>&1
    rc=$?
    ((rc == 0)) || fail "mirevo --add exited with status $rc (see add.log)"
}
on_disk() { [[ -f $DB ]] && $XMLQ task-id "$DB" "$1" >/dev/null 2>&1; }

add "$NAME" --notes "$NOTES" --due tomorrow
wait_until 10 on_disk "$NAME" || fail "the task did not reach database.xml within 10 s"
log "the task reached database.xml"
[[ $($XMLQ task-field "$DB" "$NAME" notes) == "$NOTES" ]] ||
    fail "notes in database.xml: '$($XMLQ task-field "$DB" "$NAME" notes)'"
due=$(date -d 'tomorrow 00:00' +%s)000
[[ $($XMLQ task-field "$DB" "$NAME" due) == "$due" ]] ||
    fail "due in database.xml: $($XMLQ task-field "$DB" "$NAME" due), expected $due (tomorrow at midnight)"
window_hidden || fail "the window opened for a task added from the command line"
kill -0 "$APP_PID" 2>/dev/null || fail "the running program is gone"

log "double click on the tray icon shows the window"
tray_click 1 2
wait_until 10 window_visible || fail "a double click on the tray icon did not show the window"
WIN=$(main_window)
read_geometry
wait_until 10 painted || fail "the shown window was not painted within 10 s"
park_mouse
wait_until 10 settled || fail "the window did not settle"
shot shown
rows=($(task_rows "$OUT/shown.png"))
((${#rows[@]} == 2)) || fail "expected 2 task rows in the Inbox, found ${#rows[@]} (see shown.png)"

add "$SECOND"
row_count() {
    shot _rows || return 1
    local found=($(task_rows "$OUT/_rows.png"))
    ((${#found[@]} == $1))
}
wait_until 10 row_count 3 || fail "the task added with the window open did not show as a third row"
wait_until 10 settled || fail "the window did not settle after the new row"
shot added
[[ $(main_window) == "$WIN" ]] || fail "another window is visible instead of the main window"

stop_app
saved_task "$NAME"
saved_task "$SECOND"
inbox=$($XMLQ tids "$DB" Inbox)
[[ $(tail -n1 <<<"$inbox") == $($XMLQ task-id "$DB" "$SECOND") ]] ||
    fail "the task added last is not the last one in the Inbox (Inbox: $inbox)"
