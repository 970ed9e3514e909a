#!/bin/sh
# make-test-pki.sh DIR: a test code-signing PKI in DIR (kept when it is there):
#   root.pem/root.der, leaf.pem/leaf.key, chain.pem  the trusted test root and the pinned signer
#   other.pem/other.key, other-chain.pem             another signer under the same root
#   stray-root.pem, stray.pem/stray.key, stray-chain.pem  a signer under a root nobody trusts
#   leaf.sha1                                        the pinned signer's SHA-1 thumbprint (hex)
#   leaf.time    a signing time inside the signers' validity (Unix seconds), so that
#                what the test PKI signs is the same bytes at every build
set -eu
dir=$1
signing_time() {
  [ -f "$dir/leaf.time" ] && return 0
  start=$(openssl x509 -in "$dir/leaf.pem" -noout -startdate | sed 's/^notBefore=//')
  echo $(( $(date -u -d "$start" +%s) + 60 )) > "$dir/leaf.time.tmp"
  mv "$dir/leaf.time.tmp" "$dir/leaf.time"
}
if [ -f "$dir/leaf.sha1" ]; then signing_time; exit 0; fi
mkdir -p "$dir"
cd "$dir"
cat > ext.cnf <<'CNF'
[ca]
basicConstraints=critical,CA:TRUE
keyUsage=critical,keyCertSign,cRLSign
[leaf]
basicConstraints=CA:FALSE
keyUsage=critical,digitalSignature
extendedKeyUsage=codeSigning
CNF
days=3650
root() { # root NAME SUBJECT
  openssl req -x509 -newkey rsa:2048 -nodes -sha256 -days $days -subj "$2" \
    -keyout "$1.key" -out "$1.pem" -extensions ca -config ext.cnf 2>/dev/null ||
  openssl req -x509 -newkey rsa:2048 -nodes -sha256 -days $days -subj "$2" \
    -keyout "$1.key" -out "$1.pem" -addext basicConstraints=critical,CA:TRUE \
    -addext keyUsage=critical,keyCertSign,cRLSign
}
leaf() { # leaf NAME SUBJECT ISSUER
  openssl req -newkey rsa:2048 -nodes -sha256 -subj "$2" -keyout "$1.key" -out "$1.csr" 2>/dev/null
  openssl x509 -req -in "$1.csr" -CA "$3.pem" -CAkey "$3.key" -CAcreateserial -days $days -sha256 \
    -extfile ext.cnf -extensions leaf -out "$1.pem" 2>/dev/null
  cat "$1.pem" "$3.pem" > "$1-chain.pem"
}
root root "/CN=Orvane Test Root/O=Orvane Test"
root stray-root "/CN=Stray Test Root/O=Stray Test"
leaf leaf "/CN=Orvane Test Code Signing/O=Orvane Test" root
leaf other "/CN=Orvane Test Other Signer/O=Orvane Test" root
leaf stray "/CN=Orvane Test Code Signing/O=Orvane Test" stray-root
cp leaf-chain.pem chain.pem
openssl x509 -in root.pem -outform DER -out root.der
openssl x509 -in leaf.pem -noout -fingerprint -sha1 | sed 's/.*=//; s/://g' | tr 'A-F' 'a-f' > leaf.sha1.tmp
mv leaf.sha1.tmp leaf.sha1
signing_time
