#!/bin/bash
# The pages on the live host: the built pages in headless Chromium, their
# RUVSysCall answered by the bridge's dispatch (live-dispatch) and run by
# the engine (engine-run) under Wine.
#   tests/browser/live.sh [SHOT_DIR]     LIVE_ONLY=TEXT runs the tests whose name has TEXT
# LIVE_ENGINE chooses the engine:
#   win32  the program's build in a copy of the staged prefix (TEMPLATE_PREFIX
#          when set, else a freshly staged one)
#   win64  the same sources built for 64-bit Windows (scripts/build win64) in
#          a copy of a 64-bit prefix (made once, in build/wine/live-win64)
# By default win32, unless this machine runs 32-bit code only through an
# emulator or not at all (then every Wine start costs a minute or fails).
# Prints "ok - " / "not ok - " lines and "# skipped: " for what this machine
# cannot run; exits non-zero when a test failed.
set -u
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
shots=${1:-$root/out/screenshots/browser}

native32() {
    ! grep -qs '^enabled' /proc/sys/fs/binfmt_misc/qemu-i386 && wine --version >/dev/null 2>&1
}
arch=${LIVE_ENGINE:-}
why=""
[ -n "$arch" ] || { if native32; then arch=win32; else arch=win64; why=" (32-bit code runs here only emulated or not at all)"; fi; }
case "$arch" in
    win32) engine=$root/build/win32/bin/engine-run.exe ;;
    win64) engine=$root/build/win64/bin/engine-run.exe
           "$root/scripts/build" win64 >/dev/null 2>&1 || echo "# live pages: scripts/build win64 failed" ;;
    *) echo "not ok - live pages: LIVE_ENGINE=$arch (win32 or win64)"; exit 1 ;;
esac
if [ ! -f "$engine" ]; then
    echo "# skipped: live pages need ${engine#$root/} (scripts/build $arch)"
    exit 0
fi
echo "# live pages: the engine is ${engine#$root/}$why"
if [ ! -d "$here/node_modules/playwright-core" ]; then
    (cd "$here" && { npm ci --no-audit --no-fund --silent || npm install --no-audit --no-fund --silent; }) >/dev/null 2>&1 ||
        { echo "not ok - live pages: install playwright-core"; exit 1; }
fi
if ! log=$("$root/scripts/build-pages" "$root/build/pages" 2>&1); then
    echo "not ok - live pages: build pages"
    printf '%s\n' "$log" | sed 's/^/# /'
    exit 1
fi
dispatch=$root/build/host/bin/live-dispatch
if ! log=$({ [ -f "$root/build/host/CMakeCache.txt" ] ||
             cmake -S "$root" -B "$root/build/host" -DCMAKE_BUILD_TYPE=Debug; } 2>&1 &&
           cmake --build "$root/build/host" --target live-dispatch -j2 2>&1); then
    echo "not ok - live pages: build live-dispatch"
    printf '%s\n' "$log" | tail -20 | sed 's/^/# /'
    exit 1
fi

. "$root/scripts/wine-env"
work=${SCENARIO_WORK:-${TMPDIR:-/tmp}}
mkdir -p "$work"
prefix=$work/browser-live
rm -rf "$prefix"
loader=wine
if [ "$arch" = win64 ]; then
    export WINEARCH=win64 WINELOADER=/usr/lib/wine/wine64
    loader=$WINELOADER
    # The 64-bit prefix is made once and copied for each run. The engine
    # needs none of its 32-bit half, whose set-up would take many minutes
    # where 32-bit code runs emulated: the emulator is made to refuse it.
    template=${LIVE_WIN64_TEMPLATE:-$root/build/wine/live-win64}
    if [ ! -f "$template/system.reg" ]; then
        rm -rf "$template"
        mkdir -p "$template"
        WINEPREFIX=$template QEMU_STACK_SIZE=none timeout 900 "$loader" wineboot -i >/dev/null 2>&1
        WINEPREFIX=$template wineserver -w
    fi
    if [ ! -f "$template/system.reg" ]; then
        echo "not ok - live pages: make a 64-bit Wine prefix in $template"
        rm -rf "$template"
        exit 1
    fi
    cp -a "$template" "$prefix"
elif [ -n "${TEMPLATE_PREFIX:-}" ] && [ -f "$TEMPLATE_PREFIX/system.reg" ]; then
    cp -a "$TEMPLATE_PREFIX" "$prefix"
elif ! log=$("$root/scripts/stage" "$prefix" 2>&1); then
    echo "not ok - live pages: stage a Wine prefix"
    printf '%s\n' "$log" | tail -20 | sed 's/^/# /'
    rm -rf "$prefix"
    exit 1
fi
# The engine of this build, whatever the prefix was staged with.
cp "$engine" "$prefix/drive_c/windows/engine-run.exe"

# The first vendor's client as the checks look for it: fully laid out where
# the stand-ins can load into the engine, else its provider registration
# alone (without it the first full check would start installing).
if [ "$arch" = win32 ] && [ -x "$root/scripts/stage-client" ]; then
    "$root/scripts/stage-client" "$prefix" --vendor 1 >/dev/null 2>&1 ||
        echo "# live pages: scripts/stage-client failed; the client is missing from the prefix"
else
    printf 'REGEDIT4\r\n\r\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Cryptography\\Defaults\\Provider\\LCCB VK820Auto CSP v1.0]\r\n"Type"=dword:00000001\r\n' \
        > "$prefix/drive_c/live-client.reg"
    WINEPREFIX=$prefix "$loader" regedit /S 'C:\live-client.reg' >/dev/null 2>&1
    WINEPREFIX=$prefix wineserver -w
fi

mkdir -p "$shots"
(cd "$here" && LIVE_WINE=$loader node live.test.js "$root/build/pages" "$shots" "$prefix" "$dispatch")
rc=$?
WINEPREFIX=$prefix wineserver -k 2>/dev/null
WINEPREFIX=$prefix wineserver -w 2>/dev/null
rm -rf "$prefix"
exit $rc
