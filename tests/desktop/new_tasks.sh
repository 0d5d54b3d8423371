#!/usr/bin/env bash
# Tasks reach database.xml from a second process ("mirevo --add") and from the window, and none
# is lost at the end. On X11 the program runs hidden in the tray: a captured task is saved with
# its notes and due date while the window stays closed, and a double click on the tray icon shows
# the window. On Wayland (no tray) the window is open, and the only one. With the window open a
# captured task shows up as a new row, and a double click on empty space opens a new task whose
# typed name is saved within seconds. Half a second after one more task is typed, SIGTERM ends
# the program (X11) or the compositor ends (Wayland): both times that task is saved.
source "$(dirname "$0")/lib.sh"

CAPTURED="Call the plumber $$" NOTES=$'Leak under the sink\n"bring a bucket" – Zoë'
SECOND="Buy washers $$" TYPED="Water the plants $$" LAST="Typed before the end $$"
# the_window: on Wayland the window is a Wayland window (sway runs without Xwayland, DISPLAY is
# unset), and the only one; on X11 the visible main window is still the one shown first.
the_window() {
    if ((WAYLAND)); then [[ $(windows | cut -d'|' -f1,2) == "mirevo|Mirevo" ]] || fail "sway lists other windows: $(windows | paste -sd' ')"
    else [[ $(main_window) == "$WIN" ]] || fail "another window is visible instead of the main window"; fi
}
task "Buy milk"
if ((WAYLAND)); then write_db && start_app && the_window; else write_db false false && start_app --hidden; fi

add "$CAPTURED" --notes "$NOTES" --due tomorrow
expect Inbox "Buy milk" "$CAPTURED"
expect_field "$CAPTURED" notes "$NOTES"
expect_field "$CAPTURED" due "$(day_ms 'tomorrow 00:00')"
if ((!WAYLAND)); then
    window_hidden || fail "the window opened for a task added from the command line"
    log "a double click on the tray icon shows the window"
    tray_click 1 2
    window_up "a double click on the tray icon"
fi
expect_rows captured 2
add "$SECOND"
expect_rows added 3
the_window
add_task "$TYPED"
expect_rows typed 4
expect Inbox "Buy milk" "$CAPTURED" "$SECOND" "$TYPED"

log "Ctrl+N, a name, Return; half a second later the end"
press ctrl+n
sleep 0.3
type_text "$LAST"
press Return
sleep 0.5
if ((WAYLAND)); then swaymsg exit >/dev/null 2>&1 && wait_exit any; else stop_app; fi
expect Inbox "Buy milk" "$CAPTURED" "$SECOND" "$TYPED" "$LAST"
