#!/usr/bin/env bash
# Started hidden in the tray with one task overdue and one due today in the group "Errands" (the
# Inbox holds a task without a due date), the program shows a reminder balloon from its tray
# icon; a click on the balloon brings the window up on Errands, the group of the task named
# first.
source "$(dirname "$0")/lib.sh"

T1='{11111111-1111-4111-8111-111111111111}'
T2='{22222222-2222-4222-8222-222222222222}'
T3='{33333333-3333-4333-8333-333333333333}'
ERRANDS_ID='{44444444-4444-4444-8444-444444444444}'
write_settings false false
write_db "<tid>$T3</tid>" \
    "<g name=\"Errands\" id=\"$ERRANDS_ID\"><icon>money</icon><tid>$T1</tid><tid>$T2</tid></g>" \
    "$(todo_xml "$T1" 'Call Ann' "$(($(date -d 'today 12:00' +%s) * 1000))")$(todo_xml "$T2" 'Pay rent' "$(($(date -d 'yesterday 12:00' +%s) * 1000))")$(todo_xml "$T3" 'Buy milk')"

# balloon: the reminder's balloon is up (a visible override-redirect window of the program,
# larger than the tray icon's own); BALLOON is its window.
BALLOON=""
balloon() {
    local w info
    for w in $(xdotool search --onlyvisible --class '^mirevo$' 2>/dev/null); do
        info=$(xwininfo -id "$w" 2>/dev/null) || continue
        if grep -q 'Override Redirect State: yes' <<<"$info" && (($(awk '/Width:/ {print $NF}' <<<"$info") >= 100)); then
            BALLOON=$w
            return 0
        fi
    done
    return 1
}

log "starting $MIREVO hidden in the tray"
"$MIREVO" >"$OUT/mirevo.log" 2>&1 &
APP_PID=$!
wait_until 20 tray_icon_ready || fail "no tray icon in the panel within 20 s"
window_hidden || fail "the window is shown although the settings say it should not"
wait_until 15 balloon || fail "no reminder balloon within 15 s"
log "reminder balloon $BALLOON"
sleep 0.5
"$SHOT" "$OUT/reminder.png" >/dev/null 2>&1

log "a click on the balloon"
xdotool mousemove --window "$BALLOON" 40 20 sleep 0.2 click 1
wait_until 10 window_visible || fail "a click on the balloon did not show the window"
WIN=$(main_window)
wait_until 10 read_geometry || fail "cannot read the window geometry"
wait_until 10 painted || fail "the window was not painted within 10 s"
park_mouse
wait_until 10 settled || fail "the window did not settle"
shot after-click
rows=($(task_rows "$OUT/after-click.png"))
((${#rows[@]} == 2)) || fail "expected the 2 tasks of Errands, found ${#rows[@]} rows (see after-click.png)"
balloon && fail "the balloon is still up after the click"
stop_app
