#!/usr/bin/env bash
# The release check: the test release built twice, in two folders at two
# times, gives byte-identical unsigned programs; the signed release verifies,
# and a flipped byte or a pin that is not the carried installers' signer does
# not; under Wine the signed programs pass the assistant's own signature gate
# (and, where 32-bit code runs, still start).
# Needs: the Windows build scripts/wine-env chooses (for gatecheck and the
# prefix), TEMPLATE_PREFIX (a staged prefix, which trusts the test root),
# SCENARIO_WORK and DISPLAY, as the scenarios do. RELEASE_WORK: where the
# builds go (default build/release-check).
set -u
top=$(cd "$(dirname "$0")/../.." && pwd)
. "$top/scripts/wine-env"
work=${RELEASE_WORK:-$top/build/release-check}
pki="$top/build/test-pki"
failures=0
ok() { echo "ok - release: $1"; }
not_ok() { echo "not ok - release: $1"; failures=$((failures + 1)); }
note() { echo "# $*"; }
check() { local name=$1; shift; if "$@"; then ok "$name"; else not_ok "$name"; fi; }

rm -rf "$work"
mkdir -p "$work"
built=1
for n in 1 2; do
  if ! "$top/scripts/release" --test --pki "$pki" --work "$work/build$n" --out "$work/dist$n-TEST" \
       > "$work/release$n.log" 2>&1; then
    not_ok "test release $n builds, signs and verifies"
    tail -20 "$work/release$n.log" | sed 's/^/# /'
    built=0
  fi
done
[ "$built" = 1 ] || exit 1
ok "the test release builds, signs and verifies (twice)"

named=0
grep -aq 'start: %s' "$work/build1/build/bin/Orvane_Assistant.exe" &&
  grep -aq 'test build, test signer pinned' "$work/build1/build/bin/Orvane_Assistant.exe" &&
  grep -q 'TEST RELEASE' "$work/dist1-TEST/README.txt" &&
  grep -q 'addresses .* are TEST values' "$work/dist1-TEST/README.txt" && named=1
check "the test release says so: its folder, README.txt (its test addresses too) and the assistant's start trace" test "$named" = 1

# A release as shipped (no test signing), pinned to the test signer and
# carrying the signed stand-in under each installer's name. It needs the
# bank's own addresses: the test values under another top-level domain stand
# for them. Its assistant reads no test overrides, so the name of their key
# is nowhere in its program, in ANSI or UTF-16 (the test build's has it); its
# token manager's trace calls nothing (the test build's writes the file the
# scenarios read).
bank_values="$work/bank-shipped.values"
sed 's/\.example\([/:]\|$\)/.test\1/' "$top/assistant/res/bank-test.values" > "$bank_values"
installers="$work/installers"
mkdir -p "$installers"
for f in LCCB_SignExt.exe LCCB_PowerEnterExt.exe LCCB_PrinterExt.exe mainsetExt.exe LCCB_ZanvoExt.exe LCCB_SovanExt.exe; do
  cp "$work/build1/build/bin/signed/installer_signed.exe" "$installers/$f"
done
trace_obj=keymgr/CMakeFiles/keymgr_win32.dir/shell/DebugTrace.cpp.obj
traces() { grep -aq ZVAPP_TRACE_FILE "$1" && i686-w64-mingw32-nm -u "$1" | grep -q WriteTraceLine; }
hooks=none
silent=0
if "$top/scripts/release" --pin "$(cat "$pki/leaf.sha1")" --key "$pki/leaf.key" --chain "$pki/chain.pem" \
     --installers "$installers" --bank-values "$bank_values" --root "$pki/root.pem" \
     --work "$work/build-shipped" --out "$work/dist-shipped" \
     > "$work/release-shipped.log" 2>&1; then
  hooks=
  for exe in "$work/build-shipped/build/bin/Orvane_Assistant.exe" "$work/build1/build/bin/Orvane_Assistant.exe"; do
    found=0
    { grep -aq TestHooks "$exe" || LC_ALL=C grep -aqP 'T\x00e\x00s\x00t\x00H\x00o\x00o\x00k\x00s' "$exe"; } && found=1
    hooks="$hooks$found"
  done
  traces "$work/build1/build/$trace_obj" && ! traces "$work/build-shipped/build/$trace_obj" && silent=1
else
  tail -20 "$work/release-shipped.log" | sed 's/^/# /'
fi
check "a shipped build's token manager writes no debug trace (the test build's does)" test "$silent" = 1
check "a shipped release builds, and its assistant names no TestHooks (the test build's does)" test "$hooks" = 01

same=1
for f in build/bin/ZVApp.exe build/bin/Orvane_Assistant.exe LCCB_ZanvoExt.exe; do
  if ! cmp "$work/build1/$f" "$work/build2/$f"; then same=0; fi
done
check "two builds in two folders give byte-identical unsigned programs and token manager's installer" test "$same" = 1

# The assistant carries the installer this release built (and signed).
carried=0
if python3 "$top/scripts/pe-resources" "$work/dist1-TEST/Orvane_Assistant.exe" BIN "$work/bin-res" > /dev/null &&
   cmp -s "$work/bin-res/199" "$work/build1/installers/LCCB_ZanvoExt.exe" &&
   grep -qa "resource 199" "$work/dist1-TEST/README.txt"; then carried=1; fi
check "the assistant carries the token manager's installer as resource 199, and README.txt says where it came from" test "$carried" = 1

# A release whose bank addresses are placeholders does not start.
rm -rf "$work/refused"
refused=0
"$top/scripts/release" --pin "$(cat "$pki/leaf.sha1")" --key "$pki/leaf.key" --chain "$pki/chain.pem" \
  --installers "$work/build1/installers" --bank-values "$top/assistant/res/bank-test.values" \
  --out "$work/refused" > "$work/refused.log" 2>&1 || refused=1
grep -q "placeholder" "$work/refused.log" && [ ! -e "$work/refused" ] || refused=0
check "a release with placeholder bank addresses refuses to start" test "$refused" = 1

dist="$work/dist1-TEST"
root="$pki/root.pem"
verify() { "$top/scripts/release" --verify "$@" --root "$root" > "$work/verify.log" 2>&1; }
resum() { (cd "$1" && LC_ALL=C ls | grep -vx SHA256SUMS | xargs sha256sum > SHA256SUMS); }
check "the release verifies against the test root; its signed programs are the other build's with their signatures" \
  verify "$dist" --rebuilt "$work/build2/build/bin"

# One byte of the assistant's code flipped: the checksum fails; with the
# checksums made anew, the signature does.
flipped="$work/flipped"
rm -rf "$flipped"; cp -a "$dist" "$flipped"
python3 - "$flipped/Orvane_Assistant.exe" <<'PY'
import sys
with open(sys.argv[1], "r+b") as f:
    f.seek(0x1000); b = f.read(1); f.seek(0x1000); f.write(bytes([b[0] ^ 0xFF]))
PY
fails_sum=0; verify "$flipped" || fails_sum=1
resum "$flipped"
fails_sig=0; verify "$flipped" || fails_sig=1
grep -q "signature of Orvane_Assistant.exe does not verify" "$work/verify.log" || fails_sig=0
check "a flipped byte fails the verification (by its checksum, and by its signature with new checksums)" \
  test "$fails_sum$fails_sig" = 11

# An assistant that pins another signer than the one of its installers,
# signed and summed like a real one: the installers' signer check refuses it.
other=$(openssl x509 -in "$pki/other.pem" -noout -fingerprint -sha1 | sed 's/.*=//; s/://g' | tr A-F a-f)
pin=$(cat "$pki/leaf.sha1")
repinned="$work/repinned"
rm -rf "$repinned"; cp -a "$dist" "$repinned"
python3 - "$work/build1/build/bin/Orvane_Assistant.exe" "$work/repinned.exe" "$pin" "$other" <<'PY'
import sys
data = open(sys.argv[1], "rb").read()
assert data.count(sys.argv[3].encode()) == 1
open(sys.argv[2], "wb").write(data.replace(sys.argv[3].encode(), sys.argv[4].encode()))
PY
rm -f "$repinned/Orvane_Assistant.exe"
osslsigncode sign -certs "$pki/chain.pem" -key "$pki/leaf.key" -h sha256 \
  -in "$work/repinned.exe" -out "$repinned/Orvane_Assistant.exe" > /dev/null
sed -i "s/$pin/$other/" "$repinned/README.txt"
resum "$repinned"
refused=0; verify "$repinned" || refused=1
grep -q "not signed by the pinned signer" "$work/verify.log" || refused=0
check "installers not signed by the pinned signer fail the verification" test "$refused" = 1

# --- Wine: the assistant's own signature gate, on the signed programs -----------
gate="$WINE_BUILD/bin/gatecheck.exe"
if [ ! -f "$gate" ] || [ ! -d "${TEMPLATE_PREFIX:-}" ]; then
  not_ok "the signature gate under Wine needs $gate and a staged TEMPLATE_PREFIX"
  exit 1
fi
export WINEPREFIX="$SCENARIO_WORK/release-gate"
rm -rf "$WINEPREFIX"; cp -a "$TEMPLATE_PREFIX" "$WINEPREFIX"
rel="$WINEPREFIX/drive_c/release"
mkdir -p "$rel"
cp "$dist"/*.exe "$rel/"
cp "$flipped/Orvane_Assistant.exe" "$rel/flipped.exe"
[ "$WINE_ARCH_BUILD" = win32 ] ||
  note "this machine runs no 32-bit code: the 64-bit build's gate (same sources, same pin) checks the 32-bit programs"
out=$(wine "$gate" 'C:\release\ZVApp.exe' 'C:\release\Orvane_Assistant.exe' 2>&1)
rc=$?
check "the signed programs pass the assistant's signature gate" test "$rc" = 0
[ "$rc" = 0 ] || note "$out"
out=$(wine "$gate" 'C:\release\flipped.exe' 2>&1 | tr -d '\r')
check "and the gate refuses the flipped one" test "$out" = 'refused	C:\release\flipped.exe'

if [ "$WINE_ARCH_BUILD" = win32 ]; then
  # Both signed programs start: the token manager's frame, the assistant's vendor selection.
  (cd "$rel" && printf '[Module]\r\nRel=tokcsp_sim.dll\r\nQKC=tokcmd_sim.dll\r\n' > ZVApp.ini &&
   cp "$WINEPREFIX/drive_c/Program Files/OstraCSP20407/OstraCSP20407/"tok*_sim.dll . &&
   exec wine 'C:\release\ZVApp.exe' >/dev/null 2>&1) &
  (cd "$rel" && exec wine 'C:\release\Orvane_Assistant.exe' >/dev/null 2>&1) &
  started=0
  # The assistant's vendor selection, then the token manager's (hidden) frame.
  if [ -n "$(wine wdrive wait '岚川银行网银助手' 120000 2>/dev/null | tr -d '\r')" ]; then
    for _ in $(seq 1 240); do
      wine wdrive windows 2>/dev/null | tr -d '\r' | awk -F'\t' '$4 == "ZVAppMainFrame"' | grep -q . && { started=1; break; }
      sleep 0.5
    done
  fi
  check "the signed programs start" test "$started" = 1
else
  note "the signed 32-bit programs cannot start on this machine (no 32-bit code runs); their start was not checked"
fi
wineserver -k 2>/dev/null; wineserver -w 2>/dev/null
rm -rf "$WINEPREFIX"
[ "$failures" -eq 0 ]
