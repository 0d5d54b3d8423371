# Sourced by every desktop test script: a temporary HOME, starting and stopping the real
# program, screenshots, keys and mouse. Runs inside session.sh, on X11 (DISPLAY is set) or on
# Wayland (WAYLAND_DISPLAY is set: sway, driven through wl.py, pictures taken with grim).
# Every script is called as: SCRIPT MIREVO MRV_SCREENSHOT OUTDIR
set -u -o pipefail

MIREVO=$1
SHOT=$2
OUT=$3
HERE=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
TEST=$(basename "$0" .sh)
PNG="python3 $HERE/pngtool.py"
XMLQ="python3 $HERE/xmlq.py"
WAYLAND=0
[[ -n ${WAYLAND_DISPLAY:-} ]] && WAYLAND=1

mkdir -p "$OUT"
rm -f "$OUT"/*.png "$OUT"/*.xml "$OUT"/*.log

WORK=$(mktemp -d "${TMPDIR:-/tmp}/mrv-desktop.XXXXXX")
export HOME=$WORK/home
export XDG_DATA_HOME=$HOME/.local/share
export XDG_CONFIG_HOME=$HOME/.config
export XDG_CACHE_HOME=$HOME/.cache
export TMPDIR=$WORK/tmp
DATA="$XDG_DATA_HOME/Velbrook/Mirevo/User Data"
DB="$DATA/database.xml"
mkdir -p "$DATA" "$XDG_CONFIG_HOME" "$XDG_CACHE_HOME" "$TMPDIR"

INBOX_ID='{b78901e8-4787-4e9e-8977-f940608e4fb9}'
COMPLETED_ID='{51e5f2f1-6282-4377-8a69-e26b937a47ad}'
TRASH_ID='{86234c26-8e85-4c76-b80f-6046775b506a}'

APP_PID=""
# Helper processes a script starts (a server): ended with the test.
HELPER_PIDS=()
WIN=""
WX=0 WY=0 WW=0 WH=0
SHOTS=0

log() { echo "[$TEST $(date +%T.%N | cut -c1-12)] $*"; }

save_evidence() {
    [[ -n $WIN ]] && shot failure-window
    screen_shot "$OUT/failure-screen.png"
    [[ -f $DB ]] && cp "$DB" "$OUT/database-at-failure.xml"
}

fail() {
    log "FAIL: $*"
    save_evidence
    exit 1
}

cleanup() {
    local rc=$? i
    trap - EXIT
    if [[ -n $APP_PID ]] && kill -0 "$APP_PID" 2>/dev/null; then
        kill -TERM "$APP_PID" 2>/dev/null
        for ((i = 0; i < 50; i++)); do kill -0 "$APP_PID" 2>/dev/null || break; sleep 0.1; done
        kill -KILL "$APP_PID" 2>/dev/null
        wait "$APP_PID" 2>/dev/null
    fi
    [[ -n ${INPUT_PID:-} ]] && kill "$INPUT_PID" 2>/dev/null
    for i in "${HELPER_PIDS[@]}"; do kill "$i" 2>/dev/null; wait "$i" 2>/dev/null; done
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
    return 0
}

# --- seeding -------------------------------------------------------------------------

# write_settings [COMPACT [OPEN_WINDOW [LANGUAGE]]]: the window opens with its client area at
# 100,100, 800x450.
write_settings() {
    printf '[General]\ngeneral.main_window_frame=@Rect(100 100 800 450)\ngeneral.compact_view=%s\ngeneral.group_panel_width=190\ngeneral.open_window_on_startup=%s\ngeneral.ui_language=%s\nversion=0.2.642\n' \
        "${1:-false}" "${2:-true}" "${3:-en_US}" >"$DATA/settings.ini"
}

# write_db INBOX_TIDS USER_GROUPS TODOS: the fixed groups plus the given XML fragments.
write_db() {
    printf '<?xml version="1.0" encoding="UTF-8"?><taskdb version="1"><groups><g name="Inbox" id="%s">%s</g><g name="Completed" id="%s"/><g name="Trash" id="%s"/>%s</groups><todos>%s</todos></taskdb>\n' \
        "$INBOX_ID" "$1" "$COMPLETED_ID" "$TRASH_ID" "$2" "$3" >"$DB"
}

# todo_xml ID NAME [DUE_MS] [COMPLETED_MS]
todo_xml() {
    local xml="<t><id>$1</id><name>$2</name>"
    [[ -n ${3:-} ]] && xml+="<due>$3</due>"
    if [[ -n ${4:-} ]]; then
        xml+="<completed>yes</completed><tcmpl>$4</tcmpl>"
    else
        xml+="<completed>no</completed>"
    fi
    echo "$xml<tcrt>1700000000000</tcrt></t>"
}

# write_one_task: the Inbox holds the task "Buy milk".
write_one_task() {
    write_db "<tid>{11111111-1111-4111-8111-111111111111}</tid>" "" \
        "$(todo_xml '{11111111-1111-4111-8111-111111111111}' 'Buy milk')"
}

# --- the program ---------------------------------------------------------------------

# On Wayland a window has no id a test could use: WIN is then its title, and the pictures and
# clicks go by its rectangle in sway's tree.
main_window() {
    if ((WAYLAND)); then
        python3 "$HERE/wl.py" window >/dev/null && echo Mirevo
    else
        xdotool search --onlyvisible --name '^Mirevo$' 2>/dev/null | awk 'NR == 1'
    fi
}
window_visible() { [[ -n $(main_window) ]]; }
window_hidden() { [[ -z $(main_window) ]]; }

# read_geometry: WX WY (client area on screen), WW WH of the main window $WIN.
read_geometry() {
    local info
    if ((WAYLAND)); then
        read -r WX WY WW WH < <(python3 "$HERE/wl.py" window "^$WIN\$") && [[ -n $WH ]]
        return
    fi
    info=$(xwininfo -id "$WIN") || return 1
    WX=$(awk '/Absolute upper-left X/ {print $NF}' <<<"$info")
    WY=$(awk '/Absolute upper-left Y/ {print $NF}' <<<"$info")
    WW=$(awk '/Width:/ {print $NF}' <<<"$info")
    WH=$(awk '/Height:/ {print $NF}' <<<"$info")
}

# shot NAME: a picture of the main window as $OUT/NAME.png
shot() {
    if ((WAYLAND)); then
        grim -g "$WX,$WY ${WW}x$WH" "$OUT/$1.png" >/dev/null 2>&1
    else
        "$SHOT" "$OUT/$1.png" "$WIN" >/dev/null 2>&1
    fi
}

# screen_shot FILE: a picture of the whole screen.
screen_shot() {
    if ((WAYLAND)); then grim "$1" >/dev/null 2>&1; else "$SHOT" "$1" >/dev/null 2>&1; fi
}

# painted: the window shows the white task list and the light group panel (not black).
painted() {
    shot _painted || return 1
    [[ $($PNG pixel "$OUT/_painted.png" 250 370) == ffffff ]] &&
        [[ $($PNG pixel "$OUT/_painted.png" 100 200) != 000000 ]]
}

# start_app [NAME=VALUE...]: starts the program (with those variables in its environment),
# waits for its window and focuses it.
start_app() {
    log "starting $MIREVO $*"
    env "$@" "$MIREVO" >"$OUT/mirevo.log" 2>&1 &
    APP_PID=$!
    wait_until 30 window_visible || fail "the main window did not appear within 30 s"
    WIN=$(main_window)
    wait_until 10 read_geometry || fail "cannot read the window geometry"
    log "main window $WIN at $WX,$WY size ${WW}x$WH"
    [[ "$WW $WH" == "800 450" ]] || fail "window is ${WW}x$WH, expected 800x450 from settings.ini"
    wait_until 10 painted || fail "the window was not painted within 10 s"
    rm -f "$OUT/_painted.png"
    activate
    park_mouse
}

# activate: keyboard input goes to the main window.
activate() {
    if ((WAYLAND)); then
        swaymsg "[app_id=mirevo title=\"^$WIN\$\"] focus" >/dev/null
    else
        timeout 5 xdotool windowactivate --sync "$WIN" >/dev/null 2>&1 || xdotool windowfocus "$WIN"
    fi
}

# focused_main: the main window has the keyboard and nothing of the program asks for attention.
focused_main() {
    if ((WAYLAND)); then
        local states
        states=$(python3 "$HERE/wl.py" states)
        [[ $states == "mirevo:Mirevo:True:False" ]] || { log "windows: $states"; return 1; }
    else
        [[ $(xdotool getactivewindow 2>/dev/null) == "$WIN" ]] || return 1
        ! xprop -id "$WIN" WM_HINTS 2>/dev/null | grep -qi urgency
    fi
}

# --- keys ------------------------------------------------------------------------------

# On Wayland one wl.py server holds the virtual keyboard and pointer for the whole test.
if ((WAYLAND)); then
    coproc INPUT (exec python3 "$HERE/wl.py" serve)
fi
input() {
    local answer
    echo "$*" >&"${INPUT[1]}" && read -r answer <&"${INPUT[0]}" && [[ $answer == ok ]] ||
        fail "wl.py could not do '$*': ${answer:-no answer}"
}

# press KEY...: real key presses, one after the other (Return, ctrl+n, shift+Tab).
press() {
    if ((WAYLAND)); then input key "$@"; else xdotool key --delay 60 "$@"; fi
}

# type_text TEXT
type_text() {
    if ((WAYLAND)); then input type "$1"; else xdotool type --delay 20 "$1"; fi
}

# add_task NAME: with one task row shown, a double click below it opens a new task; NAME is
# typed, Return closes it.
add_task() {
    double_click 500 250
    sleep 0.5
    type_text "$1"
    sleep 0.3
    press Return
    sleep 0.3
    park_mouse
}

# wait_exit: the program ends by itself with status 0; a copy of database.xml is kept.
wait_exit() {
    local rc
    wait_until 15 eval '! kill -0 "$APP_PID" 2>/dev/null' || fail "the program did not end within 15 s"
    wait "$APP_PID"
    rc=$?
    APP_PID=""
    WIN=""
    ((rc == 0)) || fail "the program exited with status $rc"
    [[ -f $DB ]] || fail "no database.xml after quitting"
    cp "$DB" "$OUT/database.xml"
}

# saved_task NAME: database.xml lists a task NAME in Inbox.
saved_task() {
    local id
    id=$($XMLQ task-id "$DB" "$1") || fail "no task named '$1' in database.xml"
    grep -qxF "$id" <<<"$($XMLQ tids "$DB" Inbox)" || fail "task '$1' is not listed in Inbox"
}

# --- the tray -------------------------------------------------------------------------

# tray_icon: the window of the program's icon inside the panel's tray, once it is embedded
# and has its real size.
TRAY_ICON=""
tray_icon_ready() {
    local panel info
    panel=$(xdotool search --classname '^tint2$' 2>/dev/null | head -n1) || return 1
    [[ -n $panel ]] || return 1
    TRAY_ICON=$(xwininfo -tree -id "$panel" 2>/dev/null | awk '/\("mirevo" /{print $1; exit}')
    [[ -n $TRAY_ICON ]] || return 1
    info=$(xwininfo -id "$TRAY_ICON" 2>/dev/null) || return 1
    grep -q 'IsViewable' <<<"$info" && (($(awk '/Width:/ {print $NF}' <<<"$info") >= 16))
}

# tray_click BUTTON [REPEAT]: click on the tray icon.
tray_click() {
    xdotool mousemove --window "$TRAY_ICON" 12 12 sleep 0.2 click --repeat "${2:-1}" --delay 80 "$1"
}

# popup_menu: a menu of the program is open (a visible override-redirect window of it).
popup_menu() {
    local w
    for w in $(xdotool search --onlyvisible --class '^mirevo$' 2>/dev/null); do
        xwininfo -id "$w" 2>/dev/null | grep -q 'Override Redirect State: yes' && return 0
    done
    return 1
}

# stop_app: SIGTERM, wait for a clean exit (status 0), keep a copy of database.xml.
stop_app() {
    log "sending SIGTERM"
    kill -TERM "$APP_PID" || fail "the program is not running any more"
    wait_exit
}

# --- mouse ---------------------------------------------------------------------------

# Client coordinates of the main window -> screen coordinates.
sx() { echo $((WX + $1)); }
sy() { echo $((WY + $1)); }

# park_mouse: put the pointer outside the window so no row shows a hover state.
park_mouse() {
    if ((WAYLAND)); then input move 1279 799; else xdotool mousemove 1200 780; fi
    sleep 0.1
}

click() {
    if ((WAYLAND)); then
        input click "$(sx "$1")" "$(sy "$2")"
    else
        xdotool mousemove "$(sx "$1")" "$(sy "$2")" sleep 0.15 click 1
    fi
}

double_click() {
    if ((WAYLAND)); then
        input click "$(sx "$1")" "$(sy "$2")" 2
    else
        xdotool mousemove "$(sx "$1")" "$(sy "$2")" sleep 0.15 click --repeat 2 --delay 80 1
    fi
}

# drag X1 Y1 X2 Y2 [SHOT_NAME] (client coordinates): press, move past the drag distance in
# small steps, glide to the target, rest there so the drop target is known (and take a
# picture named SHOT_NAME of the window then, if given), release.
drag() {
    local x1=$1 y1=$2 x2=$3 y2=$4 name=${5:-} i steps=12
    xdotool mousemove "$(sx "$x1")" "$(sy "$y1")"
    sleep 0.2
    xdotool mousedown 1
    sleep 0.2
    for i in 1 2 3 4 5 6; do                  # 18 px straight down or up: starts the drag
        local dy=$((y2 >= y1 ? 3 * i : -3 * i))
        xdotool mousemove "$(sx "$x1")" "$(sy $((y1 + dy)))"
        sleep 0.05
    done
    local y0=$((y1 + (y2 >= y1 ? 18 : -18)))
    for ((i = 1; i <= steps; i++)); do
        xdotool mousemove "$(sx $((x1 + (x2 - x1) * i / steps)))" "$(sy $((y0 + (y2 - y0) * i / steps)))"
        sleep 0.05
    done
    sleep 0.3
    xdotool mousemove "$(sx $((x2 + 1)))" "$(sy "$y2")"
    sleep 0.2
    xdotool mousemove "$(sx "$x2")" "$(sy "$y2")"
    sleep 0.3
    [[ -n $name ]] && shot "$name"
    xdotool mouseup 1
    sleep 0.2
    park_mouse
}

# --- looking at the window -----------------------------------------------------------

# differs_from FILE X Y W H: a new picture of the window differs from FILE in the rectangle,
# by more than a blinking text cursor.
differs_from() {
    shot _now || return 1
    ! $PNG still "$OUT/_now.png" "$1" "${@:2}"
}

# settled [X Y W H]: two pictures 0.3 s apart are the same (in the rectangle; default: all) but
# for a blinking text cursor; $OUT/_settled.png is the one of them without the cursor.
settled() {
    local area=("$@")
    ((${#area[@]})) || area=(0 0 "$WW" "$WH")
    shot _settle_a || return 1
    sleep 0.3
    shot _settle_b || return 1
    $PNG still "$OUT/_settle_a.png" "$OUT/_settle_b.png" "${area[@]}" "$OUT/_settled.png"
}

# still_shot NAME: once the window settled, its picture without a text cursor as NAME.png.
still_shot() {
    wait_until 10 settled || fail "the window did not settle for $1.png"
    mv "$OUT/_settled.png" "$OUT/$1.png"
}

# wait_change BEFORE.png WHAT X Y W H [SX SY SW SH]: wait until the rectangle X Y W H differs
# from BEFORE.png, then until the window (or the rectangle SX SY SW SH) settled.
wait_change() {
    local before=$1 what=$2
    wait_until 10 differs_from "$before" "${@:3:4}" || fail "$what: the window did not change within 10 s"
    wait_until 10 settled "${@:7:4}" || fail "$what: the window did not settle within 10 s"
    rm -f "$OUT/_now.png" "$OUT/_settle_a.png" "$OUT/_settle_b.png"
}

# task_rows FILE: the vertical centres of the task rows (found by their check boxes).
task_rows() {
    $PNG inkrows "$1" 200 0 22 $((WH - 60)) 700 | awk '$2 - $1 >= 8 {print int(($1 + $2 + 1) / 2)}'
}

# toolbar_buttons FILE: "first last" of the columns of each tool button of the toolbar under
# the task list, left to right.
toolbar_buttons() {
    $PNG inkcols "$1" 191 $((WH - 50)) $((WW - 191)) 48 600
}

# group_rows FILE: the vertical centres of the rows in the group panel (found by their icons).
group_rows() {
    $PNG inkrows "$1" 15 0 22 "$WH" 700 | awk '$2 - $1 >= 8 {print int(($1 + $2 + 1) / 2)}'
}
