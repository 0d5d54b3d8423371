#!/usr/bin/env bash
# Runs one desktop test script inside a throw-away X11 session.
#   run.sh SESSION_SCRIPT TEST_SCRIPT MIREVO MRV_SCREENSHOT OUTDIR [SESSION_OPTIONS...]
# Exits 77 (CTest: skipped) when the session script or a tool the test needs is missing.
set -u
SESSION=$1 SCRIPT=$2 OUTDIR=$5
if [[ ! -f $SESSION ]]; then
    echo "SKIPPED: desktop session script not found: $SESSION"
    exit 77
fi
for tool in Xvfb xdpyinfo xprop xwininfo xdotool openbox tint2 python3; do
    if ! command -v "$tool" >/dev/null 2>&1; then
        echo "SKIPPED: '$tool' is not installed (Debian: xvfb x11-utils xdotool openbox tint2 python3)"
        exit 77
    fi
done
mkdir -p "$OUTDIR"
rm -rf "$OUTDIR/session-logs"
exec bash "$SESSION" --logdir "$OUTDIR/session-logs" "${@:6}" -- bash "$SCRIPT" "${@:3:3}"
