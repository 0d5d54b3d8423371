#!/usr/bin/env bash
# Runs one command inside a throw-away desktop and exits with its status.
#
#   session.sh [--wayland] [--no-tray] [--logdir DIR] [--own PATH] [--] COMMAND [ARGS...]
#
# X11 (the default): Xvfb (1280x800), the openbox window manager and a tint2 panel with an XEmbed
# system tray (tint2rc beside this script; --no-tray leaves it out).
# --wayland: a headless sway (pixman renderer, no input devices). sway refuses to run as root, so
# a root caller gets sway and COMMAND run as the system user mirevo-test (created when missing);
# --own hands PATH (a folder the command writes, say) to that user.
# QT_QPA_PLATFORM is unset (on Wayland XDG_SESSION_TYPE too, as under a compositor started from
# a console): programs find the windowing system by themselves. COMMAND gets a private 0700
# XDG_RUNTIME_DIR, HOME and TMPDIR, and a session bus address that leads nowhere, so that
# nothing starts a bus behind our back.
# The logs of the session's programs go to --logdir (default: the current folder). When the
# session cannot start, the reason goes to standard output and the exit status is 77; run.sh
# checks beforehand that the tools are there.
set -u -o pipefail

WAYLAND=0 TRAY=1 LOGDIR=. OWN=() TEST_USER=mirevo-test
HERE=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
while (($#)); do
    case $1 in
        --wayland) WAYLAND=1 ;;
        --no-tray) TRAY=0 ;;
        --logdir) LOGDIR=$2; shift ;;
        --own) OWN+=("$2"); shift ;;
        --) shift; break ;;
        *) break ;;
    esac
    shift
done

skip() { echo "SKIPPED: $*"; exit 77; }

RUN=$(mktemp -d "${TMPDIR:-/tmp}/mrv-session.XXXXXX") && chmod 711 "$RUN" || skip "cannot create a temporary folder"

PIDS=() CMD=""
cleanup() {
    local rc=$? pid
    trap - EXIT INT TERM HUP
    for pid in $CMD "${PIDS[@]}"; do kill -TERM "$pid" 2>/dev/null; done
    for pid in $CMD "${PIDS[@]}"; do
        timeout 2 tail --pid="$pid" -f /dev/null
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

# start NAME READY COMMAND...: start a helper of the session in the background (its output in
# LOGDIR/NAME.log) and poll READY until it succeeds; skip when it dies or is not ready in 20 s.
start() {
    local name=$1 ready=$2 deadline=$(($(date +%s) + 20))
    shift 2
    "$@" </dev/null >"$LOGDIR/$name.log" 2>&1 &
    PIDS+=("$!")
    until eval "$ready" >/dev/null 2>&1; do
        kill -0 "${PIDS[-1]}" 2>/dev/null || skip "$name ended during start-up (logs: $LOGDIR)"
        (($(date +%s) < deadline)) || skip "$name was not ready after 20 s (logs: $LOGDIR)"
        sleep 0.02
    done
    echo "session: $name ready" >&2
}

AS=()                                        # prefix that runs a command as the session's user
mkdir -m 700 "$RUN/runtime" "$RUN/home" "$RUN/tmp"
if ((WAYLAND && EUID == 0)); then
    command -v setpriv >/dev/null || skip "'setpriv' is not installed (Debian: util-linux)"
    # Two sessions may add the user at the same time: one of them wins.
    id -u "$TEST_USER" &>/dev/null || useradd --system --user-group --no-create-home --home-dir /nonexistent \
        --shell /usr/sbin/nologin "$TEST_USER" &>/dev/null || sleep 0.5
    id -u "$TEST_USER" &>/dev/null || skip "cannot create the user $TEST_USER for sway, which refuses to run as root"
    chown "$TEST_USER:" "$RUN/runtime" "$RUN/home" "$RUN/tmp"
    ((${#OWN[@]})) && { chown -R "$TEST_USER:" "${OWN[@]}" || skip "cannot hand ${OWN[*]} to $TEST_USER"; }
    AS=(setpriv --reuid="$TEST_USER" --regid="$(id -g "$TEST_USER")" --init-groups)
fi
export HOME=$RUN/home XDG_RUNTIME_DIR=$RUN/runtime TMPDIR=$RUN/tmp
export XDG_CONFIG_HOME=$HOME/.config XDG_CACHE_HOME=$HOME/.cache
export DBUS_SESSION_BUS_ADDRESS=unix:path=$RUN/no-session-bus
unset QT_QPA_PLATFORM XDG_SESSION_TYPE DISPLAY WAYLAND_DISPLAY SWAYSOCK

if ((WAYLAND)); then
    # Windows float so that they keep the size they ask for, as on a desktop with a window
    # manager; no borders, so a window's rectangle in the tree is its content.
    printf '%s\n' "output HEADLESS-1 resolution 1280x800 position 0 0" 'xwayland disable' \
        'default_border none' 'default_floating_border none' 'focus_on_window_activation focus' \
        'for_window [app_id=".*"] floating enable' >"$RUN/sway.conf"
    chmod 644 "$RUN/sway.conf"
    sway_up() {
        WAYLAND_DISPLAY=$(cd "$RUN/runtime" && ls wayland-* 2>/dev/null | grep -v '\.lock$' | head -n1)
        SWAYSOCK=$(ls "$RUN"/runtime/sway-ipc.*.sock 2>/dev/null | head -n1)
        [[ -n $WAYLAND_DISPLAY && -n $SWAYSOCK ]] && swaymsg -s "$SWAYSOCK" -t get_outputs | grep -q HEADLESS
    }
    start sway sway_up env WLR_BACKENDS=headless WLR_LIBINPUT_NO_DEVICES=1 WLR_RENDERER=pixman \
        "${AS[@]}" sway --config "$RUN/sway.conf"
    export WAYLAND_DISPLAY SWAYSOCK
else
    # Xvfb picks a free display itself and tells its number once it accepts connections.
    start Xvfb 'test -s "$RUN/display"' Xvfb -displayfd 3 -screen 0 1280x800x24 -nolisten tcp -noreset 3>"$RUN/display"
    export DISPLAY=:$(tr -dc 0-9 <"$RUN/display") XDG_SESSION_TYPE=x11
    start openbox 'xprop -root _NET_SUPPORTING_WM_CHECK | grep -q "window id"' openbox
    # tint2 marks its tray's selection window just before it takes the tray selection.
    tray_up() {
        local w
        for w in $(xwininfo -root -children | awk '$1 ~ /^0x/ {print $1}'); do
            xprop -id "$w" _NET_SYSTEM_TRAY_ORIENTATION 2>/dev/null | grep -q ' = ' && return 0
        done
        return 1
    }
    ((TRAY)) && start tint2 tray_up tint2 -c "$HERE/tint2rc"
fi
echo "session: running $* on ${WAYLAND_DISPLAY:-${DISPLAY:-}}" >&2

# In the background, so that a signal to this script ends the command and the helpers at once.
"${AS[@]}" "$@" &
CMD=$!
wait "$CMD"
rc=$? CMD=""
exit "$rc"
