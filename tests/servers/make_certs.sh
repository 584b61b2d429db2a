#!/usr/bin/env bash
# Makes the TLS material of one test run in OUT:
#   ca.pem / ca.der        the run's own test CA, which the tests trust
#   trusted.pem / .key     a server certificate for TRUSTED_ADDRESS from that CA
#   untrusted.pem / .key   a self-signed certificate for UNTRUSTED_ADDRESS
# Each address is both an IP and a DNS subject-alternative name, so that name
# checks that compare only DNS names accept it too.
set -euo pipefail
# usage: make_certs.sh OUT TRUSTED_ADDRESS UNTRUSTED_ADDRESS
out=$1 trusted=$2 untrusted=$3
mkdir -p "$out"
cd "$out"
rm -f ./*.pem ./*.key ./*.der ./*.srl ./*.csr ./*.ext

openssl req -x509 -newkey rsa:2048 -nodes -days 30 -sha256 \
  -subj "/CN=Jestlark Test CA $(date +%s)" \
  -addext "basicConstraints=critical,CA:TRUE" -addext "keyUsage=critical,keyCertSign,cRLSign" \
  -keyout ca.key -out ca.pem 2>/dev/null
openssl x509 -in ca.pem -outform der -out ca.der

printf 'subjectAltName=IP:%s,DNS:%s\nbasicConstraints=CA:FALSE\nkeyUsage=digitalSignature,keyEncipherment\nextendedKeyUsage=serverAuth\n' \
  "$trusted" "$trusted" > trusted.ext
openssl req -newkey rsa:2048 -nodes -sha256 -subj "/CN=$trusted" \
  -keyout trusted.key -out trusted.csr 2>/dev/null
openssl x509 -req -in trusted.csr -CA ca.pem -CAkey ca.key -CAcreateserial -days 30 -sha256 \
  -extfile trusted.ext -out trusted.pem 2>/dev/null

openssl req -x509 -newkey rsa:2048 -nodes -days 30 -sha256 -subj "/CN=$untrusted" \
  -addext "subjectAltName=IP:$untrusted,DNS:$untrusted" \
  -keyout untrusted.key -out untrusted.pem 2>/dev/null
echo "certificates in $out"
