#!/usr/bin/env bash
# Runs one command inside a throw-away desktop and exits with its status.
#
#   session.sh [--wayland] [--no-tray] [--no-wm] [--screen WxH] [--logdir DIR] [--own PATH]
#              [--timeout SECONDS] [--] COMMAND [ARGS...]
#
# X11 (the default): Xvfb, the openbox window manager and a tint2 panel with an XEmbed system
# tray (tint2rc beside this script); exports DISPLAY and XDG_SESSION_TYPE=x11.
# --wayland: a headless sway (pixman renderer, no input devices); exports WAYLAND_DISPLAY and
# SWAYSOCK. Either way QT_QPA_PLATFORM is unset: programs find the windowing system as they
# would on a user's desktop. sway refuses to run as root, so a root caller gets sway
# and COMMAND run as the system user mirevo-test (created when missing) with a HOME of their own;
# --own hands PATH (a folder the command writes, say) to that user.
# Either way COMMAND gets a private 0700 XDG_RUNTIME_DIR and TMPDIR, and a session bus address
# that leads nowhere, so that nothing starts a bus behind our back.
# When the session cannot start, the reason goes to standard output and the exit status is 77.
set -u -o pipefail

WAYLAND=0 TRAY=1 WM=1 SCREEN=1280x800 LOGDIR="" TIMEOUT=20 OWN=() TEST_USER=mirevo-test
HERE=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
while (($#)); do
    case $1 in
        --wayland) WAYLAND=1 ;;
        --no-tray) TRAY=0 ;;
        --no-wm) WM=0 ;;
        --screen) SCREEN=$2; shift ;;
        --logdir) LOGDIR=$2; shift ;;
        --own) OWN+=("$2"); shift ;;
        --timeout) TIMEOUT=$2; shift ;;
        --) shift; break ;;
        -*) echo "session.sh: unknown option $1" >&2; exit 2 ;;
        *) break ;;
    esac
    shift
done
(($#)) || { echo "session.sh: no command given" >&2; exit 2; }

skip() { echo "SKIPPED: $*"; exit 77; }
T0=$(date +%s%N)
note() { printf 'session [%5dms] %s\n' $((($(date +%s%N) - T0) / 1000000)) "$*" >&2; }

if ((WAYLAND)); then need=(sway swaymsg); else need=(Xvfb xdpyinfo xprop xwininfo); fi
((!WAYLAND && WM)) && need+=(openbox)
((!WAYLAND && TRAY)) && need+=(tint2)
for tool in "${need[@]}"; do
    command -v "$tool" >/dev/null || skip "'$tool' is not installed (see MIREVO_DESKTOP_PACKAGES in scripts/setup.sh)"
done

RUN=$(mktemp -d "${TMPDIR:-/tmp}/mrv-session.XXXXXX") || skip "cannot create a temporary folder"
chmod 711 "$RUN"
LOGS=" (logs: $LOGDIR)"
[[ -n $LOGDIR ]] || LOGDIR=$RUN/logs LOGS=""
mkdir -p "$LOGDIR" || skip "cannot create $LOGDIR"

PIDS=() CMD=""
cleanup() {
    local rc=$? pid i
    trap - EXIT INT TERM HUP
    for pid in $CMD "${PIDS[@]}"; do kill -TERM "$pid" 2>/dev/null; done
    for pid in $CMD "${PIDS[@]}"; do
        for ((i = 0; i < 40; i++)); do kill -0 "$pid" 2>/dev/null || break; sleep 0.05; done
        kill -KILL "$pid" 2>/dev/null
        wait "$pid" 2>/dev/null
    done
    rm -rf "$RUN"
    exit "$rc"
}
trap cleanup EXIT
trap 'exit 129' HUP
trap 'exit 130' INT
trap 'exit 143' TERM

# ready WHAT PID TEST...: poll TEST until it succeeds; skip when PID died or TIMEOUT passed.
ready() {
    local what=$1 pid=$2 deadline=$(($(date +%s) + TIMEOUT))
    shift 2
    until "$@" >/dev/null 2>&1; do
        kill -0 "$pid" 2>/dev/null || skip "$what ended during start-up$LOGS"
        (($(date +%s) < deadline)) || skip "$what was not ready after ${TIMEOUT}s$LOGS"
        sleep 0.02
    done
    note "$what ready"
}

# spawn LOG COMMAND...: start a helper of the session in the background.
spawn() {
    local log=$1
    shift
    "$@" </dev/null >"$LOGDIR/$log.log" 2>&1 &
    PIDS+=("$!")
}

AS=()                                        # prefix that runs a command as the session's user
mkdir -m 700 "$RUN/runtime" "$RUN/home" "$RUN/tmp"
if ((WAYLAND)) && ((EUID == 0)); then
    command -v setpriv >/dev/null || skip "'setpriv' is not installed (Debian: util-linux)"
    for attempt in 1 2 3; do                 # two sessions may add the user at the same time
        id -u "$TEST_USER" >/dev/null 2>&1 && break
        useradd --system --user-group --no-create-home --home-dir /nonexistent \
            --shell /usr/sbin/nologin "$TEST_USER" >/dev/null 2>&1 || sleep 0.2
    done
    id -u "$TEST_USER" >/dev/null 2>&1 || skip "cannot create the user $TEST_USER for sway, which refuses to run as root"
    chown "$TEST_USER:" "$RUN/runtime" "$RUN/home" "$RUN/tmp"
    ((${#OWN[@]})) && { chown -R "$TEST_USER:" "${OWN[@]}" || skip "cannot hand ${OWN[*]} to $TEST_USER"; }
    AS=(setpriv --reuid="$TEST_USER" --regid="$(id -g "$TEST_USER")" --init-groups)
    for arg in "$@"; do
        [[ -e $arg ]] && ! "${AS[@]}" test -r "$arg" &&
            skip "$TEST_USER cannot read $arg: make the source and build folders readable for all users"
    done
fi
export HOME=$RUN/home XDG_RUNTIME_DIR=$RUN/runtime TMPDIR=$RUN/tmp
export XDG_CONFIG_HOME=$HOME/.config XDG_CACHE_HOME=$HOME/.cache
export DBUS_SESSION_BUS_ADDRESS=unix:path=$RUN/no-session-bus

if ((WAYLAND)); then
    WIDTH=${SCREEN%%x*} HEIGHT=${SCREEN#*x}
    HEIGHT=${HEIGHT%%x*}
    # Windows float so that they keep the size they ask for, as on a desktop with a window
    # manager; no borders, so a window's rectangle in the tree is its content.
    printf '%s\n' "output HEADLESS-1 resolution ${WIDTH}x$HEIGHT position 0 0" 'xwayland disable' \
        'default_border none' 'default_floating_border none' 'focus_on_window_activation focus' \
        'for_window [app_id=".*"] floating enable' >"$RUN/sway.conf"
    chmod 644 "$RUN/sway.conf"
    unset DISPLAY WAYLAND_DISPLAY SWAYSOCK
    spawn sway env WLR_BACKENDS=headless WLR_LIBINPUT_NO_DEVICES=1 WLR_RENDERER=pixman \
        "${AS[@]}" sway --config "$RUN/sway.conf"
    sway_up() {
        WAYLAND_DISPLAY=$(cd "$RUN/runtime" && ls wayland-* 2>/dev/null | grep -v '\.lock$' | head -n1)
        SWAYSOCK=$(ls "$RUN"/runtime/sway-ipc.*.sock 2>/dev/null | head -n1)
        [[ -n $WAYLAND_DISPLAY && -n $SWAYSOCK ]] && swaymsg -s "$SWAYSOCK" -t get_outputs | grep -q HEADLESS
    }
    ready "sway" "${PIDS[-1]}" sway_up
    sway_up
    # As a compositor started from a console: nothing names the session's type, and the
    # program has to find Wayland by itself.
    export WAYLAND_DISPLAY SWAYSOCK
    unset QT_QPA_PLATFORM XDG_SESSION_TYPE
else
    unset WAYLAND_DISPLAY
    [[ $SCREEN == *x*x* ]] || SCREEN+=x24
    # Xvfb picks a free display itself and tells its number once it accepts connections.
    spawn xvfb Xvfb -displayfd 3 -screen 0 "$SCREEN" -nolisten tcp -noreset 3>"$RUN/display"
    ready "Xvfb" "${PIDS[-1]}" test -s "$RUN/display"
    export DISPLAY=:$(tr -dc 0-9 <"$RUN/display") XDG_SESSION_TYPE=x11
    unset QT_QPA_PLATFORM
    if ((WM)); then
        spawn openbox openbox
        ready "openbox" "${PIDS[-1]}" eval 'xprop -root _NET_SUPPORTING_WM_CHECK | grep -q "window id"'
    fi
    # tint2 marks its tray's selection window just before it takes the tray selection.
    tray_up() {
        local w
        for w in $(xwininfo -root -children | awk '$1 ~ /^0x/ {print $1}'); do
            xprop -id "$w" _NET_SYSTEM_TRAY_ORIENTATION 2>/dev/null | grep -q ' = ' && return 0
        done
        return 1
    }
    if ((TRAY)); then
        spawn tint2 tint2 -c "$HERE/tint2rc"
        ready "tint2 tray" "${PIDS[-1]}" tray_up
    fi
fi
note "ready (${WAYLAND_DISPLAY:-$DISPLAY}); running $*"

# In the background, so that a signal to this script ends the command and the helpers at once.
"${AS[@]}" "$@" &
CMD=$!
wait "$CMD"
rc=$?
CMD=""
exit "$rc"
