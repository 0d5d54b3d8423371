#!/usr/bin/env bash
# Ctrl+Q in the main window ends the program with status 0, a changed task written.
source "$(dirname "$0")/lib.sh"

NAME="Quit with Ctrl+Q $$"
write_settings
write_one_task
start_app
add_task "$NAME"
log "Ctrl+Q"
xdotool key ctrl+q
wait_exit
saved_task "$NAME"
