#!/usr/bin/env bash
# Runs one desktop test script inside a throw-away session of session.sh.
#   run.sh TEST_SCRIPT MIREVO MRV_SCREENSHOT OUTDIR [SESSION_OPTIONS...]
# Exits 77 (CTest: skipped), saying why, when the session cannot start or a tool the test
# drives it with is missing.
set -u
OUTDIR=$4 options=("${@:5}") tools=(python3 xdotool Xvfb xprop xwininfo openbox tint2)
[[ " ${options[*]} " == *" --wayland "* ]] && tools=(python3 grim sway swaymsg) options+=(--own "$OUTDIR")
for tool in "${tools[@]}"; do
    command -v "$tool" >/dev/null 2>&1 ||
        { echo "SKIPPED: '$tool' is not installed (see MIREVO_DESKTOP_PACKAGES in scripts/setup.sh)"; exit 77; }
done
rm -rf "$OUTDIR/session-logs"
mkdir -p "$OUTDIR/session-logs"
exec bash "$(dirname "$0")/session.sh" --logdir "$OUTDIR/session-logs" "${options[@]}" -- bash "$1" "${@:2:3}"
