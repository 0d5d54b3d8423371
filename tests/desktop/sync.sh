#!/usr/bin/env bash
# Sync in the real program, against a Radicale on this computer: with the account in the
# settings and no secret store, F5 asks for the password; once it is given (and the window has
# said it lasts for the session), the phone's task arrives in the Inbox and the window's task
# reaches the server; the password is in neither the settings nor the log. X11.
source "$(dirname "$0")/lib.sh"

command -v radicale >/dev/null || { echo "SKIPPED: radicale is not installed"; exit 77; }
RAD=$WORK/radicale
mkdir -p "$RAD"
PORT=$(python3 -c 'import socket; s = socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')
printf '[server]\nhosts = 127.0.0.1:%s\n[auth]\ntype = htpasswd\nhtpasswd_filename = %s/users\nhtpasswd_encryption = plain\ndelay = 0\n[storage]\nfilesystem_folder = %s/collections\n[rights]\ntype = owner_only\n[web]\ntype = none\n' \
    "$PORT" "$RAD" "$RAD" >"$RAD/config"
echo "ana:wr7-Pass" >"$RAD/users"
radicale --config "$RAD/config" >"$OUT/radicale.log" 2>&1 &
HELPER_PIDS+=($!)
phone() { /usr/bin/python3 "$HERE/../sync/phone.py" --url "http://127.0.0.1:$PORT/" --user ana --password wr7-Pass "$@"; }
wait_until 15 eval 'phone lists >/dev/null 2>&1' || fail "Radicale did not start (see radicale.log)"
phone mklist Inbox >/dev/null || fail "the phone could not make the Inbox list"
phone create Inbox --uid phone-1 --summary "Pick up the parcel" >/dev/null || fail "the phone could not add its task"

task "Buy milk"
write_db
printf 'sync.server=http://127.0.0.1:%s/\nsync.user=ana\n' "$PORT" >>"$DATA/settings.ini"
start_app

# answer TITLE WHAT PICTURE [TEXT]: a window of that title comes up; TEXT is typed into it and
# Return closes it.
answer() {
    wait_until 10 shown "$1" || fail "no $2"
    screen_shot "$OUT/$3.png"
    timeout 5 xdotool windowactivate --sync "$SHOWN" >/dev/null 2>&1
    [[ -z ${4:-} ]] || type_text "$4"
    press Return
}
log "Sync now (F5) without a password"
press F5
answer '^Mirevo Sync$' "password prompt after F5" password-prompt wr7-Pass
answer '^Mirevo' "word that the password is kept for the session only" session-only
wait_until 20 lists Inbox "Buy milk" "Pick up the parcel" || fail "the phone's task did not reach the Inbox in database.xml"
wait_until 10 eval 'phone dump | grep -q "\"summary\": \"Buy milk\""' || fail "the window's task did not reach the server"
still_shot synced
grep -q wr7-Pass "$DATA/settings.ini" && fail "the password is in settings.ini"
grep -q wr7-Pass "$DATA/log.txt" && fail "the password is in the log"
stop_app
