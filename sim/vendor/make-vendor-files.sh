#!/bin/sh
# make-vendor-files.sh BIN OUT: the second vendor's files, as the token
# manager's installer takes them (--vendor-files), made of the stand-ins in
# BIN: the CSP stand-in as the provider, the token library stand-ins with a
# ZVApp.ini that names them, the installer stand-in as the vendor's start-up
# program. Test equipment only.
set -eu
bin=$1 out=$2 here=$(cd "$(dirname "$0")" && pwd)
rm -rf "$out"
mkdir -p "$out/OstraCSP20407"
cp "$here/provider-signature.hex" "$out/"
cp "$bin/vendor_csp_sim.dll" "$out/OstraCSP20407.dll"
cp "$bin/tokcmd_sim.dll" "$out/QKCommand.dll"
cp "$bin/tokcsp_sim.dll" "$out/ZVCSPApi.dll"
cp "$bin/vendor_csp_sim.dll" "$out/OstraCSP20407/OstraCSP.dll"
cp "$bin/vendor_csp_sim.dll" "$out/OstraCSP20407/ZVCheck.dll"
cp "$bin/installer_standin.exe" "$out/OstraCSP20407/OrlinUser_20407.exe"
cp "$bin/tokcsp_sim.dll" "$bin/tokcmd_sim.dll" "$bin/lang.ini" "$out/OstraCSP20407/"
printf '[Module]\r\nRel=tokcsp_sim.dll\r\nQKC=tokcmd_sim.dll\r\n' > "$out/OstraCSP20407/ZVApp.ini"
