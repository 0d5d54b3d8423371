#!/usr/bin/env bash
# The due-date calendar of a new task: Tab from the notes to the due date opens it, hanging just
# below the field, while the keyboard stays with the field: a date typed then is taken, no other
# window opens and none is marked urgent. A click on a day takes that day and closes the
# calendar, which stays closed. The field's keys move the calendar: Down opens it again, Down
# and Alt+Right move the day, Return takes it and closes the calendar, Escape closes the
# calendar before the editor. Runs on X11 and on Wayland.
source "$(dirname "$0")/lib.sh"

NAME="Renew the passport $$"
typed=$(date -d "$(date +%Y-%m-01) +1 month +27 days" +%F)     # the 28th of next month
task "Buy milk"
write_db
# Dates as a British system writes them, day/month/year (the toolkit reads the name itself;
# the locale need not be installed).
start_app LC_TIME=en_GB.UTF-8

log "a new task: name, Tab to the notes, Tab to the due date opens the calendar"
press ctrl+n
sleep 0.5
type_text "$NAME"
press Tab
still_shot _editor
screen_shot "$OUT/notes.png"
press Tab
wait_until 10 eval 'screen_shot "$OUT/_screen.png" && $PNG diffbox "$OUT/_screen.png" "$OUT/notes.png" 0 0 1280 800 >/dev/null' ||
    fail "Tab to the due date changed nothing on the screen"
sleep 1
screen_shot "$OUT/calendar.png"
wait_until 5 focused_main || fail "the main window lost the keyboard, or asks for attention, with the calendar open"
# The field shows the proposed date, selected; the calendar is the block of its own colour whose
# bottom edge is the lowest change on the screen.
read -r fx fy fw fh < <($PNG colorbox "$OUT/calendar.png" 308cc6) || fail "no selected date in the field"
read -r dx dy dw dh < <($PNG diffbox "$OUT/notes.png" "$OUT/calendar.png" 0 0 1280 800)
colour=$($PNG pixel "$OUT/calendar.png" $((dx + dw / 2)) $((dy + dh - 2)))
read -r cx cy cw ch < <($PNG colorbox "$OUT/calendar.png" "$colour") || fail "no calendar"
log "selected date at $fx,$fy ${fw}x$fh; calendar ($colour) at $cx,$cy ${cw}x$ch"
((cy >= fy + fh && cy <= fy + fh + 12)) || fail "the calendar's top ($cy) is not just below the field (bottom $((fy + fh)))"
((cx <= fx && cx + cw >= fx + fw)) || fail "the calendar ($cx..$((cx + cw))) does not hang below the date ($fx..$((fx + fw)))"

type_text "$(date -d "$typed" +%d/%m/%Y)"
sleep 0.5
focused_main || fail "typing the date took the keyboard away from the main window"
# The calendar turned to the typed month: the Thursday of its second week is in the middle of
# the fourth line (the month, the weekdays, the first week, the second week).
screen_shot "$OUT/typed.png"
read -r top bottom < <($PNG inkrows "$OUT/typed.png" "$cx" "$cy" "$cw" "$ch" 500 | sed -n 4p) ||
    fail "the calendar shows no second week (see typed.png)"
log "typed $typed with the calendar open; clicking the day at $((cx + cw / 2)),$(((top + bottom) / 2))"
click $((cx + cw / 2 - WX)) $(((top + bottom) / 2 - WY))
park_mouse
calendar_gone() { screen_shot "$OUT/_screen.png" && [[ $($PNG pixel "$OUT/_screen.png" $((cx + 3)) $((cy + ch - 3))) != "$colour" ]]; }
calendar_shown() { ! calendar_gone; }
wait_until 5 calendar_gone || fail "the calendar stayed open after a day was clicked"
sleep 1.5
calendar_gone || fail "the calendar opened again after a day was clicked"
focused_main || fail "the main window lost the keyboard after a day was clicked"

log "Down opens the calendar again; Down, Alt+Right move the day a week and a day on; Return takes it"
press Down
wait_until 5 calendar_shown || fail "Down in the field did not open the calendar again"
press Down alt+Right
sleep 0.5
press Return
wait_until 5 calendar_gone || fail "the calendar stayed open after Return"
focused_main || fail "the main window lost the keyboard while the keys moved the calendar"

log "Escape closes the calendar and leaves the editor open; the second Escape closes the editor"
press Down
wait_until 5 calendar_shown || fail "Down did not open the calendar after Return"
press Escape
wait_until 5 calendar_gone || fail "the calendar stayed open after Escape"
$PNG colorbox "$OUT/_screen.png" 308cc6 >/dev/null || fail "the first Escape closed the editor, not the calendar"
press Escape
sleep 0.5
stop_app

# The Thursday of the typed month's second week, then a week and a day on.
first=$(date -d "$typed" +%Y-%m-01)
expect_field "$NAME" due "$(day_ms "$first +$((11 - $(date -d "$first" +%u) + 8)) days 00:00")"
