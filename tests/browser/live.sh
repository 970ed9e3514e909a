#!/bin/bash
# The pages on the live host: the built pages in headless Chromium, their
# RUVSysCall answered by the bridge's dispatch (live-dispatch) and run by
# the engine (engine-run) under Wine in a copy of the staged prefix
# (TEMPLATE_PREFIX when set, else a freshly staged one).
#   tests/browser/live.sh [SHOT_DIR]     LIVE_ONLY=TEXT runs the tests whose name has TEXT
# Prints "ok - " / "not ok - " lines and "# skipped: " for what this machine
# cannot run; exits non-zero when a test failed.
set -u
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
shots=${1:-$root/out/screenshots/browser}
engine=$root/build/win32/bin/engine-run.exe

if [ ! -f "$engine" ]; then
    echo "# skipped: live pages need build/win32/bin/engine-run.exe (scripts/build win32)"
    exit 0
fi
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
if [ -n "${TEMPLATE_PREFIX:-}" ] && [ -f "$TEMPLATE_PREFIX/system.reg" ]; then
    cp -a "$TEMPLATE_PREFIX" "$prefix"
elif ! log=$("$root/scripts/stage" "$prefix" 2>&1); then
    echo "not ok - live pages: stage a Wine prefix"
    printf '%s\n' "$log" | tail -20 | sed 's/^/# /'
    rm -rf "$prefix"
    exit 1
fi
# The engine of this build, whatever the template was staged with.
cp "$engine" "$prefix/drive_c/windows/engine-run.exe"

mkdir -p "$shots"
(cd "$here" && node live.test.js "$root/build/pages" "$shots" "$prefix" "$dispatch")
rc=$?
WINEPREFIX=$prefix wineserver -k 2>/dev/null
WINEPREFIX=$prefix wineserver -w 2>/dev/null
rm -rf "$prefix"
exit $rc
