# Sourced by every desktop test script: a temporary HOME, a database of named tasks, starting and
# stopping the real program, pictures, keys and mouse. Runs inside session.sh, on X11 (DISPLAY is
# set; keys and mouse through xdotool) or on Wayland (WAYLAND_DISPLAY is set: sway, its windows
# listed by wl.py, pictures with grim; no keys or mouse).
# Every script is called as: SCRIPT MIREVO MRV_SCREENSHOT OUTDIR. A script that reads the
# accessibility bus sets A11Y_BUS=1 first: it then runs again inside a session bus of its own.
set -u -o pipefail
if [[ -n ${A11Y_BUS:-} && -z ${MRV_OWN_SESSION_BUS:-} ]]; then
    command -v dbus-run-session >/dev/null && /usr/bin/python3 -c 'import pyatspi' 2>/dev/null ||
        { echo "SKIPPED: dbus-run-session or pyatspi is missing (see MIREVO_DESKTOP_PACKAGES in scripts/setup.sh)"; exit 77; }
    MRV_OWN_SESSION_BUS=1 exec dbus-run-session -- bash "$0" "$@" 2> >(grep -v 'dbus-daemon' >&2)
fi

MIREVO=$1 SHOT=$2 OUT=$3 HERE=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd) TEST=$(basename "$0" .sh)
PNG="python3 $HERE/pngtool.py" WAYLAND=$([[ -n ${WAYLAND_DISPLAY:-} ]] && echo 1 || echo 0)
mkdir -p "$OUT"
rm -f "$OUT"/*.png "$OUT"/*.xml "$OUT"/*.log "$OUT"/*.txt

WORK=$(mktemp -d "${TMPDIR:-/tmp}/mrv-desktop.XXXXXX")
export HOME=$WORK/home TMPDIR=$WORK/tmp
export XDG_DATA_HOME=$HOME/.local/share XDG_CONFIG_HOME=$HOME/.config XDG_CACHE_HOME=$HOME/.cache
DATA="$XDG_DATA_HOME/Velbrook/Mirevo/User Data" DB="$DATA/database.xml"
mkdir -p "$DATA" "$XDG_CONFIG_HOME" "$XDG_CACHE_HOME" "$TMPDIR"
APP_PID="" WIN="" WX=0 WY=0 WW=0 WH=0 ROWS=()

log() { echo "[$TEST $(date +%T.%N | cut -c1-12)] $*"; }

fail() {
    log "FAIL: $*"
    [[ -n $WIN ]] && shot failure-window
    local screen=$OUT/failure-screen.png
    if ((WAYLAND)); then grim "$screen"; else "$SHOT" "$screen"; fi >/dev/null 2>&1
    [[ -f $DB ]] && cp "$DB" "$OUT/database-at-failure.xml"
    exit 1
}

cleanup() {
    local rc=$? pid
    trap - EXIT
    [[ -n $APP_PID ]] && kill -TERM "$APP_PID" 2>/dev/null
    [[ -n $APP_PID ]] && wait_until 5 eval '! kill -0 "$APP_PID" 2>/dev/null'
    [[ -n $APP_PID ]] && kill -KILL "$APP_PID" 2>/dev/null && wait "$APP_PID" 2>/dev/null
    [[ -f $DATA/log.txt ]] && cp "$DATA/log.txt" "$OUT/mirevo-data-log.txt"
    rm -rf "$WORK"
    if ((rc == 0)); then rm -f "$OUT"/_*.png; log "PASS"; else log "exit status $rc; evidence in $OUT"; fi
    exit "$rc"
}
trap cleanup EXIT
trap 'exit 130' INT
trap 'exit 143' TERM

# wait_until SECONDS COMMAND...: poll COMMAND every 0.1 s until it succeeds; 1 on timeout.
wait_until() {
    local deadline=$(($(date +%s%N) + $1 * 1000000000))
    shift
    until "$@"; do
        (($(date +%s%N) >= deadline)) && return 1
        sleep 0.1
    done
}

# --- the database ------------------------------------------------------------------------

# A database in a few lines: "task NAME [DUE_MS [XML]]" adds a task (not completed, unless XML
# says otherwise) to the Inbox, or after "group NAME [ICON]" to that user group; write_db writes
# them with the fixed groups.
INBOX_TIDS="" GROUPS_XML="" TODOS="" IN_GROUP=0 IDS=0
task() {
    local id more=${3:-}
    [[ $more == *"<completed>"* ]] || more+="<completed>no</completed>"
    printf -v id '{%08d-1111-4111-8111-111111111111}' $((++IDS))
    TODOS+="<t><id>$id</id><name>$1</name>${2:+<due>$2</due>}<tcrt>1700000000000</tcrt>$more</t>"
    if ((IN_GROUP)); then GROUPS_XML+="<tid>$id</tid>"; else INBOX_TIDS+="<tid>$id</tid>"; fi
}
group() {
    ((IN_GROUP)) && GROUPS_XML+="</g>"
    printf -v GROUPS_XML '%s<g name="%s" id="{%08d-2222-4222-8222-222222222222}"><icon>%s</icon>' \
        "$GROUPS_XML" "$1" $((++IDS)) "${2:-folder}"
    IN_GROUP=1
}
# write_db [COMPACT [OPEN_WINDOW]]: database.xml, and settings.ini with the window's client area
# at 100,100, 800x450.
write_db() {
    ((IN_GROUP)) && GROUPS_XML+="</g>" IN_GROUP=0
    printf '<?xml version="1.0" encoding="UTF-8"?><taskdb version="1"><groups><g name="Inbox" id="{b78901e8-4787-4e9e-8977-f940608e4fb9}">%s</g><g name="Completed" id="{51e5f2f1-6282-4377-8a69-e26b937a47ad}"/><g name="Trash" id="{86234c26-8e85-4c76-b80f-6046775b506a}"/>%s</groups><todos>%s</todos></taskdb>\n' \
        "$INBOX_TIDS" "$GROUPS_XML" "$TODOS" >"$DB"
    INBOX_TIDS="" GROUPS_XML="" TODOS="" IDS=0
    printf '[General]\ngeneral.main_window_frame=@Rect(100 100 800 450)\ngeneral.compact_view=%s\ngeneral.group_panel_width=190\ngeneral.open_window_on_startup=%s\ngeneral.ui_language=en_US\nversion=0.2.642\n' \
        "${1:-false}" "${2:-true}" >"$DATA/settings.ini"
}
# day_ms DATE: midnight (or the time given) of that day in ms, as the program stores due dates.
day_ms() { echo $(($(date -d "$1" +%s) * 1000)); }

# xq QUERY...: xmlq.py on the database (list GROUP; task NAME FIELD...).
xq() { [[ -f $DB ]] && python3 "$HERE/xmlq.py" "$DB" "$@" 2>/dev/null; }
# lists GROUP NAME...: the saved group lists exactly these tasks, in this order.
lists() { local group=$1 IFS='|'; shift; [[ $(xq list "$group" | paste -sd'|') == "$*" ]]; }
# expect GROUP NAME...: within 10 s the database lists them so (as it is saved while running).
expect() { wait_until 10 lists "$@" || fail "$1 lists '$(xq list "$1" | paste -sd'|')', expected '$(IFS='|'; echo "${*:2}")'"; }
# expect_field NAME FIELD VALUE: the saved task NAME has that value.
expect_field() { [[ $(xq task "$1" "$2") == "$3" ]] || fail "$2 of '$1' is '$(xq task "$1" "$2")', expected '$3'"; }

# --- the program ---------------------------------------------------------------------------

# windows (Wayland): "app_id|title|visible|focused|urgent|x|y|width|height" of every window.
windows() { python3 "$HERE/wl.py"; }
# main_window: the visible main window; on Wayland it has no id a test could use: its title.
main_window() {
    if ((WAYLAND)); then windows | grep '^mirevo|Mirevo|True|' >/dev/null && echo Mirevo
    else xdotool search --onlyvisible --name '^Mirevo$' 2>/dev/null | awk 'NR == 1'; fi
}
window_visible() { [[ -n $(main_window) ]]; }
window_hidden() { [[ -z $(main_window) ]]; }

# read_geometry: WX WY (client area on screen) WW WH of the main window $WIN; on X11 once it
# stays put for 0.2 s (openbox animates a window coming back from its icon).
x11_geometry() { xwininfo -id "$WIN" | awk '/Absolute upper-left|Width:|Height:/ {printf "%s ", $NF}'; }
read_geometry() {
    if ((WAYLAND)); then
        IFS='|' read -r _ _ _ _ _ WX WY WW WH < <(windows | grep '^mirevo|Mirevo|True|') && [[ -n $WH ]]
    else
        local at
        at=$(x11_geometry) && sleep 0.2 && [[ $(x11_geometry) == "$at" ]] && read -r WX WY WW WH <<<"$at"
    fi
}

shot() {  # shot NAME: a picture of the main window as $OUT/NAME.png
    if ((WAYLAND)); then grim -g "$WX,$WY ${WW}x$WH" "$OUT/$1.png"; else "$SHOT" "$OUT/$1.png" "$WIN"; fi >/dev/null 2>&1
}

# painted: the window shows the white task list and the light group panel (not black).
painted() {
    shot _painted && [[ $($PNG pixel "$OUT/_painted.png" 250 370) == ffffff ]] &&
        [[ $($PNG pixel "$OUT/_painted.png" 100 200) != 000000 ]]
}

# window_up [WHAT]: the main window is shown and painted within 10 s (30 s for a start): WIN.
window_up() {
    wait_until "${2:-10}" window_visible || fail "${1:-the main window} did not show the window"
    WIN=$(main_window)
    wait_until 10 read_geometry || fail "cannot read the window geometry"
    wait_until 10 painted || fail "the window was not painted within 10 s"
}

# start_app [--hidden] [NAME=VALUE...]: starts the program (those variables in its environment),
# waits for its 800x450 window and focuses it; with --hidden (X11; the settings keep the window
# closed) waits for its tray icon instead, and checks that no window opened.
start_app() {
    local hidden=0
    [[ ${1:-} == --hidden ]] && hidden=1 && shift
    log "starting $MIREVO $*"
    env "$@" "$MIREVO" >>"$OUT/mirevo.log" 2>&1 &
    APP_PID=$!
    if ((hidden)); then
        wait_until 20 tray_icon_ready || fail "no tray icon in the panel within 20 s"
        window_hidden || fail "the window opened although the settings say it should not"
        return
    fi
    window_up "the start" 30
    [[ "$WW $WH" == "800 450" ]] || fail "window is ${WW}x$WH, expected 800x450 from settings.ini"
    # Keyboard input goes to the main window.
    if ((WAYLAND)); then swaymsg "[app_id=mirevo title=\"^$WIN\$\"] focus" >/dev/null
    else timeout 5 xdotool windowactivate --sync "$WIN" >/dev/null 2>&1 || xdotool windowfocus "$WIN"; fi
    park_mouse
}

# focused_main: the main window has the keyboard and nothing of the program asks for attention.
focused_main() {
    if ((WAYLAND)); then
        [[ $(windows | cut -d'|' -f1,2,4,5) == "mirevo|Mirevo|True|False" ]] || { log "windows: $(windows | paste -sd' ')"; return 1; }
    else
        [[ $(xdotool getactivewindow 2>/dev/null) == "$WIN" ]] && ! xprop -id "$WIN" WM_HINTS 2>/dev/null | grep -qi urgency
    fi
}

# wait_exit [ANY]: the program ends by itself within 15 s, with status 0 (or any with ANY); a copy
# of database.xml is kept.
wait_exit() {
    wait_until 15 eval '! kill -0 "$APP_PID" 2>/dev/null' || fail "the program did not end within 15 s"
    wait "$APP_PID"
    local rc=$?
    log "the program ended with status $rc"
    APP_PID="" WIN=""
    ((rc == 0)) || [[ -n ${1:-} ]] || fail "the program exited with status $rc"
    cp "$DB" "$OUT/database.xml" 2>/dev/null
}
# stop_app: SIGTERM, a clean exit with status 0 (pending changes written).
stop_app() {
    log "sending SIGTERM"
    kill -TERM "$APP_PID" || fail "the program is not running any more"
    wait_exit
}

# --- keys and mouse -------------------------------------------------------------------------

# press KEY... and type_text TEXT (X11).
press() { xdotool key --delay 60 "$@"; }
type_text() { xdotool type --delay 20 "$1"; }

# park_mouse (X11; Wayland has no pointer): the pointer outside the window, so no row shows a
# hover state.
park_mouse() {
    ((WAYLAND)) && return
    xdotool mousemove 1200 780
    sleep 0.1
}
# click X Y (X11): a click at X,Y of the window's client area.
click() { xdotool mousemove $((WX + $1)) $((WY + $2)) sleep 0.15 click 1; }

# drag X1 Y1 X2 Y2 (X11, client coordinates): press, glide to the target in steps, rest there so
# that the drop target is known, release.
drag() {
    local i
    xdotool mousemove $((WX + $1)) $((WY + $2)) sleep 0.2 mousedown 1 sleep 0.2
    for ((i = 1; i <= 12; i++)); do
        xdotool mousemove $((WX + $1 + ($3 - $1) * i / 12)) $((WY + $2 + ($4 - $2) * i / 12)) sleep 0.05
    done
    xdotool sleep 0.3 mousemove $((WX + $3 + 1)) $((WY + $4)) sleep 0.3 mouseup 1 sleep 0.2
    park_mouse
}

# --- the tray (X11) -----------------------------------------------------------------------------

# tray_icon_ready: TRAY_ICON is the program's icon inside the panel's tray, embedded, real size.
tray_icon_ready() {
    local panel info
    panel=$(xdotool search --classname '^tint2$' 2>/dev/null | awk 'NR == 1') && [[ -n $panel ]] || return 1
    TRAY_ICON=$(xwininfo -tree -id "$panel" 2>/dev/null | awk '/\("mirevo" /{print $1; exit}')
    [[ -n $TRAY_ICON ]] && info=$(xwininfo -id "$TRAY_ICON" 2>/dev/null) || return 1
    grep -q 'IsViewable' <<<"$info" && (($(awk '/Width:/ {print $NF}' <<<"$info") >= 16))
}
# tray_click BUTTON [REPEAT]: click on the tray icon.
tray_click() { xdotool mousemove --window "$TRAY_ICON" 12 12 sleep 0.2 click --repeat "${2:-1}" --delay 80 "$1"; }

# popup: a menu or calendar of the program is up (a visible override-redirect window of it).
popup() {
    local w
    for w in $(xdotool search --onlyvisible --class '^mirevo$' 2>/dev/null); do
        xwininfo -id "$w" 2>/dev/null | grep -q 'Override Redirect State: yes' && return 0
    done
    return 1
}
# tray_menu KEY...: the tray icon's menu, then KEYs (from its end: Up = Exit, About, Preferences).
tray_menu() {
    park_mouse
    tray_click 3
    wait_until 10 popup || fail "no menu after a right click on the tray icon"
    xdotool key --delay 60 "$@"
}
# shown TITLE: an X11 window of that title (a regular expression) other than the main window is
# visible: SHOWN is its id.
shown() { SHOWN=$(xdotool search --onlyvisible --name "$1" 2>/dev/null | awk -v main="$WIN" '$1 != main && !n++') && [[ -n $SHOWN ]]; }

# --- looking at the window ---------------------------------------------------------------------

# settled: two pictures of the window 0.3 s apart are the same; $OUT/_settled.png is the second.
settled() { shot _settle_a && sleep 0.3 && shot _settled && cmp -s "$OUT/_settle_a.png" "$OUT/_settled.png"; }

# task_rows FILE: the vertical centres of the task rows (found by their check boxes).
task_rows() { $PNG inkrows "$1" 200 0 22 $((WH - 60)) 700 | awk '$2 - $1 >= 8 {print int(($1 + $2) / 2)}'; }
# group_rows FILE: the vertical centres of the rows in the group panel (found by their icons).
group_rows() { $PNG inkrows "$1" 15 0 22 "$WH" 700 | awk '$2 - $1 >= 8 {print int(($1 + $2 + 1) / 2)}'; }

# expect_rows NAME COUNT: within 10 s the settled window shows COUNT task rows; its picture is
# NAME.png, the rows' centres ROWS.
rows_are() { settled && ROWS=($(task_rows "$OUT/_settled.png")) && ((${#ROWS[@]} == $1)); }
expect_rows() {
    park_mouse
    wait_until 10 rows_are "$2"
    local rc=$?
    mv "$OUT/_settled.png" "$OUT/$1.png" 2>/dev/null
    ((rc == 0)) || fail "the list shows ${#ROWS[@]} task rows, expected $2 (see $1.png)"
}
