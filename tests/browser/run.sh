#!/bin/bash
# Page tests in headless Chromium: builds the page resources into
# build/pages, serves them and runs every test, then the pages on the live
# host (live.sh). Prints one "ok - name" or
# "not ok - name" line per test (diagnostics start with "# ") and exits
# non-zero when any test failed.
set -u
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)

if [ ! -x /usr/bin/chromium ]; then
    echo "not ok - browser tests"
    echo "# /usr/bin/chromium is missing (apt-get install -y chromium)"
    exit 1
fi
if [ ! -d "$here/node_modules/playwright-core" ]; then
    if ! (cd "$here" && { npm ci --no-audit --no-fund --silent || npm install --no-audit --no-fund --silent; }) >/dev/null 2>"$here/.npm-error.log"; then
        echo "not ok - browser tests"
        sed 's/^/# /' "$here/.npm-error.log" | tail -5
        exit 1
    fi
    rm -f "$here/.npm-error.log"
fi

if ! build_log=$("$root/scripts/build-pages" "$root/build/pages" 2>&1); then
    echo "not ok - build pages"
    printf '%s\n' "$build_log" | sed 's/^/# /'
    exit 1
fi
echo "ok - build pages"

mkdir -p "$root/out/screenshots/browser"
(cd "$here" && node pages.test.js "$root/build/pages" "$root/out/screenshots/browser")
rc=$?
bash "$here/live.sh" "$root/out/screenshots/browser" || rc=1
exit $rc
