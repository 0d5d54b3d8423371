# Sourced first by the tests that read the accessibility bus: runs the test again inside a
# session bus of its own (skipped when the tools for that are missing).
if [[ -z ${MRV_OWN_SESSION_BUS:-} ]]; then
    command -v dbus-run-session >/dev/null ||
        { echo "SKIPPED: 'dbus-run-session' is not installed (see MIREVO_DESKTOP_PACKAGES in scripts/setup.sh)"; exit 77; }
    /usr/bin/python3 -c 'import pyatspi' 2>/dev/null ||
        { echo "SKIPPED: pyatspi is not installed (see MIREVO_DESKTOP_PACKAGES in scripts/setup.sh)"; exit 77; }
    MRV_OWN_SESSION_BUS=1 exec dbus-run-session -- bash "$0" "$@" 2> >(grep -v 'dbus-daemon' >&2)
fi
