# Shared by scripts/test and scripts/run: packages, build, the Wine prefix of a
# build folder, a virtual display and a persistent Wine server.
# shellcheck shell=bash

ZEPHRIN_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
ZEPHRIN_BUILD=${ZEPHRIN_BUILD_DIR:-$ZEPHRIN_ROOT/build}
case "$ZEPHRIN_BUILD" in /*) ;; *) ZEPHRIN_BUILD=$ZEPHRIN_ROOT/$ZEPHRIN_BUILD ;; esac
export WINEPREFIX=$ZEPHRIN_BUILD/wineprefix
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}
export WINEARCH=win64

ZEPHRIN_PACKAGES=(cmake make g++-mingw-w64-x86-64 mingw-w64-tools wine wine64 xvfb xdotool imagemagick
    x11-utils python3 python3-pil fonts-wqy-microhei fonts-dejavu-core googletest)

log() { printf '[zephrin] %s\n' "$*" >&2; }

ensure_packages() {
    local missing=()
    for p in "${ZEPHRIN_PACKAGES[@]}"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
    done
    if ((${#missing[@]})); then
        log "installing: ${missing[*]}"
        local sudo=
        [ "$(id -u)" -eq 0 ] || sudo=sudo
        $sudo apt-get update -qq
        DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
    fi
}

build_all() {
    local target=${1:-all}
    if [ ! -f "$ZEPHRIN_BUILD/CMakeCache.txt" ]; then
        cmake -S "$ZEPHRIN_ROOT" -B "$ZEPHRIN_BUILD" \
            -DCMAKE_TOOLCHAIN_FILE="$ZEPHRIN_ROOT/cmake/mingw-w64-x86_64.cmake" >/dev/null
    fi
    cmake --build "$ZEPHRIN_BUILD" --target "$target" -j"$(nproc)"
}

ensure_prefix() {
    if [ ! -f "$WINEPREFIX/system.reg" ]; then
        log "creating the Wine prefix $WINEPREFIX"
        mkdir -p "$WINEPREFIX"
        wineboot -i >/dev/null 2>&1 || true
        wineserver -w
    fi
}

# A virtual X display on the first free number from 90 on.
ZEPHRIN_XVFB_PID=
start_virtual_display() {
    local n=90
    while [ -e /tmp/.X11-unix/X$n ] || [ -e /tmp/.X$n-lock ]; do n=$((n + 1)); done
    Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
    ZEPHRIN_XVFB_PID=$!
    for _ in $(seq 100); do
        [ -e /tmp/.X11-unix/X$n ] && break
        sleep 0.05
    done
    export DISPLAY=":$n"
    log "virtual display $DISPLAY (pid $ZEPHRIN_XVFB_PID)"
}

ZEPHRIN_WINESERVER_STARTED=
start_wineserver() {
    wineserver -p >/dev/null 2>&1 </dev/null &
    ZEPHRIN_WINESERVER_STARTED=1
    sleep 0.2
}

stop_all() {
    if [ -n "$ZEPHRIN_WINESERVER_STARTED" ]; then
        wineserver -k >/dev/null 2>&1 || true
        wineserver -w >/dev/null 2>&1 || true
        ZEPHRIN_WINESERVER_STARTED=
    fi
    if [ -n "$ZEPHRIN_XVFB_PID" ]; then
        kill "$ZEPHRIN_XVFB_PID" 2>/dev/null || true
        wait "$ZEPHRIN_XVFB_PID" 2>/dev/null || true
        ZEPHRIN_XVFB_PID=
    fi
}

# The simulated machine: the card installed in the prefix, its files beside
# the panel, and the Core Audio stand-in registered.
prepare_machine() {
    "$ZEPHRIN_ROOT/scripts/prepare-machine" "$ZEPHRIN_BUILD"
}
