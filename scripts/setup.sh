# Shared by ./run and ./test: makes sure the Debian packages are there and the program is built.
# Sourced, not run.

MIREVO_ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
MIREVO_BUILD="${MIREVO_BUILD:-$MIREVO_ROOT/build}"

# qt6-wayland: on a Wayland session the program runs on the toolkit's Wayland platform.
# libical reads and writes the tasks' iCalendar, qtkeychain keeps the sync password in the
# desktop's secret store.
MIREVO_BUILD_PACKAGES=(cmake make g++ pkg-config qt6-base-dev qt6-tools-dev qt6-tools-dev-tools qt6-l10n-tools
    qt6-translations-l10n qt6-svg-dev libgl-dev qt6-wayland libical-dev qtkeychain-qt6-dev)
# A real X desktop with a tray and a headless Wayland one (sway, grim for pictures) for the tests
# that need them, openssl for the certificates of the HTTPS tests, and the desktop entry
# validator for the installer's tests, and a session bus with the accessibility bus that screen
# readers listen to (pyatspi walks it in the accessibility test); a CalDAV server and a second
# CalDAV client that is not Mirevo for the sync tests.
MIREVO_DESKTOP_PACKAGES=(xvfb x11-utils xdotool openbox tint2 sway grim python3 openssl desktop-file-utils
    dbus-daemon at-spi2-core python3-pyatspi radicale python3-caldav)

missing_packages() {
    local pkg
    for pkg in "$@"; do
        if [ "$(dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null)" != "install ok installed" ]; then
            printf '%s\n' "$pkg"
        fi
    done
}

ensure_packages() {
    local missing
    mapfile -t missing < <(missing_packages "$@")
    [ "${#missing[@]}" -eq 0 ] && return 0
    if [ "$(id -u)" -ne 0 ]; then
        echo "Mirevo needs these Debian packages, which are not installed: ${missing[*]}" >&2
        echo "Install them as root, then run this command again:" >&2
        echo "    sudo apt-get update && sudo apt-get install -y --no-install-recommends ${missing[*]}" >&2
        exit 1
    fi
    echo "Installing Debian packages: ${missing[*]}"
    export DEBIAN_FRONTEND=noninteractive
    apt-get update -qq
    apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
}

build_mirevo() {
    local jobs
    jobs="$(nproc 2>/dev/null || echo 2)"
    if [ ! -f "$MIREVO_BUILD/CMakeCache.txt" ]; then
        cmake -S "$MIREVO_ROOT" -B "$MIREVO_BUILD" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
    fi
    cmake --build "$MIREVO_BUILD" -j"$jobs"
}
