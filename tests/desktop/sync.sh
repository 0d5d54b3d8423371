#!/usr/bin/env bash
# Sync in the real program, against a Radicale on this computer: with the account in the
# settings and no secret store, F5 asks for the password; once it is given (and the window has
# said it lasts for the session), the phone's task arrives in the Inbox and the window's task
# reaches the server, and the toolbar says when it synced. X11.
source "$(dirname "$0")/lib.sh"

command -v radicale >/dev/null || { echo "SKIPPED: radicale is not installed"; exit 77; }
RAD=$WORK/radicale
mkdir -p "$RAD"
PORT=$(python3 -c 'import socket; s = socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')
printf '[server]\nhosts = 127.0.0.1:%s\n[auth]\ntype = htpasswd\nhtpasswd_filename = %s/users\nhtpasswd_encryption = plain\ndelay = 0\n[storage]\nfilesystem_folder = %s/collections\n[rights]\ntype = owner_only\n[web]\ntype = none\n' \
    "$PORT" "$RAD" "$RAD" >"$RAD/config"
echo "ana:wr7-Pass" >"$RAD/users"
RADICALE_CONFIG=$RAD/config radicale --config "$RAD/config" >"$OUT/radicale.log" 2>&1 &
HELPER_PIDS+=($!)
SERVER=http://127.0.0.1:$PORT/
phone() { /usr/bin/python3 "$HERE/../sync/phone.py" --url "$SERVER" --user ana --password wr7-Pass "$@"; }
wait_until 15 eval 'phone lists >/dev/null 2>&1' || fail "Radicale did not start (see radicale.log)"
phone mklist Inbox >/dev/null || fail "the phone could not make the Inbox list"
phone create Inbox --uid phone-1 --summary "Pick up the parcel" >/dev/null || fail "the phone could not add its task"

write_settings
printf 'sync.server=%s\nsync.user=ana\n' "$SERVER" >>"$DATA/settings.ini"
write_one_task
start_app

prompt() { xdotool search --onlyvisible --name '^Mirevo Sync$' 2>/dev/null | awk 'NR == 1'; }
log "Sync now (F5) without a password"
press F5
wait_until 10 eval '[[ -n $(prompt) ]]' || fail "F5 did not ask for the password"
screen_shot "$OUT/password-prompt.png"
timeout 5 xdotool windowactivate --sync "$(prompt)" >/dev/null 2>&1
type_text wr7-Pass
press Return
# No secret store here: the window says the password lasts for this session.
notice() { xdotool search --onlyvisible --name '^Mirevo' 2>/dev/null | grep -vx "$WIN" | awk 'NR == 1'; }
wait_until 10 eval '[[ -n $(notice) ]]' || fail "no word that the password is kept for the session only"
screen_shot "$OUT/session-only.png"
timeout 5 xdotool windowactivate --sync "$(notice)" >/dev/null 2>&1
press Return

arrived() { grep -qxF "$($XMLQ task-id "$DB" "Pick up the parcel" 2>/dev/null)" <<<"$($XMLQ tids "$DB" Inbox)"; }
wait_until 20 arrived || fail "the phone's task did not reach the Inbox in database.xml"
sent() { phone dump | grep -q '"summary": "Buy milk"'; }
wait_until 10 sent || fail "the window's task did not reach the server"
park_mouse
sleep 1
shot synced
grep -q wr7-Pass "$DATA/settings.ini" && fail "the password is in settings.ini"
grep -q wr7-Pass "$DATA/log.txt" && fail "the password is in the log"
log "both tasks on both sides; the password is in neither the settings nor the log"
stop_app
