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
    x11-utils python3 python3-pil fonts-wqy-microhei fonts-dejavu-core fonts-dejavu-extra googletest nsis)

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

# A virtual X display; Xvfb itself picks a free number and reports it, so
# several runs on one machine never race for the same display.
ZEPHRIN_XVFB_PID=
start_virtual_display() {
    local fifo n
    fifo=$(mktemp -u "${TMPDIR:-/tmp}/zephrin-xvfb.XXXXXX")
    mkfifo "$fifo"
    Xvfb -displayfd 3 -screen 0 "${ZEPHRIN_SCREEN:-1280x1024}x24" -nolisten tcp 3>"$fifo" >/dev/null 2>&1 &
    ZEPHRIN_XVFB_PID=$!
    read -r -t 30 n <"$fifo" || true
    rm -f "$fifo"
    if [ -z "$n" ]; then
        log "the virtual display did not start"
        return 1
    fi
    export DISPLAY=":$n"
    ZEPHRIN_VIRTUAL_DISPLAY=1
    log "virtual display $DISPLAY (pid $ZEPHRIN_XVFB_PID)"
}

# The display scale of the simulated machine, as a person sets it in the
# display settings: ZEPHRIN_DPI (96 is 100 %, 192 is 200 %). Wine reads it
# (LogPixels) when a process starts; prepare_machine sets it before the first
# program with windows starts, and puts 96 back when it is not given.
ZEPHRIN_DPI=${ZEPHRIN_DPI:-96}
configure_display_scale() {
    local key='HKCU\Control Panel\Desktop'
    if [ "$ZEPHRIN_DPI" = 96 ]; then
        wine reg delete "$key" /v LogPixels /f >/dev/null 2>&1 || true
    else
        wine reg add "$key" /v LogPixels /t REG_DWORD /d "$ZEPHRIN_DPI" /f >/dev/null 2>&1
    fi
}

# A screen large enough for the panel at ZEPHRIN_DPI, with room to drag it
# off the notification area: 1280 x 1024 up to 150 %.
screen_for_scale() {
    local w=$((ZEPHRIN_DPI * 800 / 96 + 320)) h=$((ZEPHRIN_DPI * 546 / 96 + 320))
    ((w < 1280)) && w=1280
    ((h < 1024)) && h=1024
    echo "${w}x${h}"
}

# A virtual display has no window manager: Wine must not hand windows to one,
# or every hide of the main dialog waits 2 s for an answer that never comes.
# A person's own desktop has a window manager and keeps Wine's default.
ZEPHRIN_VIRTUAL_DISPLAY=
configure_window_manager() {
    local key='HKCU\Software\Wine\X11 Driver'
    if [ -n "$ZEPHRIN_VIRTUAL_DISPLAY" ]; then
        wine reg add "$key" /v Managed /t REG_SZ /d N /f >/dev/null 2>&1
    else
        wine reg delete "$key" /v Managed /f >/dev/null 2>&1 || true
    fi
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
    configure_window_manager
    configure_display_scale
    "$ZEPHRIN_ROOT/scripts/prepare-machine" "$ZEPHRIN_BUILD"
}
