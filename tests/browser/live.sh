#!/bin/bash
# The pages on the live host: the built pages in headless Chromium, their
# RUVSysCall answered by the bridge's dispatch (live-dispatch) and run by
# the engine (engine-run) under Wine.
#   tests/browser/live.sh [SHOT_DIR]     LIVE_ONLY=TEXT runs the tests whose name has TEXT
# The engine is the Windows build that scripts/wine-env chooses (win32, or
# win64 where this machine runs no 32-bit code), in a copy of the staged
# prefix (TEMPLATE_PREFIX when set, else a freshly staged one).
# Prints "ok - " / "not ok - " lines and "# skipped: " for what this machine
# cannot run; exits non-zero when a test failed.
set -u
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
shots=${1:-$root/out/screenshots/browser}

. "$root/scripts/wine-env"
arch=$WINE_ARCH_BUILD
engine=$WINE_BUILD/bin/engine-run.exe
why=""
[ "$arch" = win64 ] && why=" (32-bit code runs here only emulated or not at all)"
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

work=${SCENARIO_WORK:-${TMPDIR:-/tmp}}
mkdir -p "$work"
prefix=$work/browser-live
rm -rf "$prefix"
loader=wine
if [ -n "${TEMPLATE_PREFIX:-}" ] && [ -f "$TEMPLATE_PREFIX/system.reg" ]; then
    prefix_copy "$TEMPLATE_PREFIX" "$prefix"
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
if [ -x "$root/scripts/stage-client" ]; then
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
