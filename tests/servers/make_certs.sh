#!/usr/bin/env bash
# Makes the TLS material of one test run in OUT:
#   ca.pem / ca.der        the run's own test CA, which the tests trust
#   ca.crl                 its certificate revocation list (DER), empty of entries
#   trusted.pem / .key     a server certificate for TRUSTED_ADDRESS from that CA
#   untrusted.pem / .key   a self-signed certificate for UNTRUSTED_ADDRESS
# Each address is both an IP and a DNS subject-alternative name, so that name
# checks that compare only DNS names accept it too. The server certificate
# names CRL_URL as its CRL distribution point: WinInet checks revocation and
# fails a certificate whose status it cannot learn.
set -euo pipefail
# usage: make_certs.sh OUT TRUSTED_ADDRESS UNTRUSTED_ADDRESS CRL_URL
out=$1 trusted=$2 untrusted=$3 crl_url=$4
mkdir -p "$out"
cd "$out"
rm -rf ./*.pem ./*.key ./*.der ./*.crl ./*.srl ./*.csr ./*.ext ./*.cnf ./db

mkdir db
: > db/index.txt
echo 1000 > db/crlnumber
cat > ca.cnf <<CONF
[ca]
default_ca = test_ca
[test_ca]
database = db/index.txt
crlnumber = db/crlnumber
default_md = sha256
default_crl_days = 30
CONF

openssl req -x509 -newkey rsa:2048 -nodes -days 30 -sha256 \
  -subj "/CN=Jestlark Test CA $(date +%s)" \
  -addext "basicConstraints=critical,CA:TRUE" -addext "keyUsage=critical,keyCertSign,cRLSign" \
  -keyout ca.key -out ca.pem 2>/dev/null
openssl x509 -in ca.pem -outform der -out ca.der
openssl ca -gencrl -config ca.cnf -keyfile ca.key -cert ca.pem -out ca.crl.pem 2>/dev/null
openssl crl -in ca.crl.pem -outform der -out ca.crl

printf '%s\n' "subjectAltName=IP:$trusted,DNS:$trusted" "basicConstraints=CA:FALSE" \
  "keyUsage=digitalSignature,keyEncipherment" "extendedKeyUsage=serverAuth" \
  "crlDistributionPoints=URI:$crl_url" > trusted.ext
openssl req -newkey rsa:2048 -nodes -sha256 -subj "/CN=$trusted" \
  -keyout trusted.key -out trusted.csr 2>/dev/null
openssl x509 -req -in trusted.csr -CA ca.pem -CAkey ca.key -CAcreateserial -days 30 -sha256 \
  -extfile trusted.ext -out trusted.pem 2>/dev/null

openssl req -x509 -newkey rsa:2048 -nodes -days 30 -sha256 -subj "/CN=$untrusted" \
  -addext "subjectAltName=IP:$untrusted,DNS:$untrusted" \
  -keyout untrusted.key -out untrusted.pem 2>/dev/null
echo "certificates in $out"
