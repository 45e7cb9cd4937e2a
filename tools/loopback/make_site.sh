#!/usr/bin/env bash
# Makes the certificates and the signing key of a throwaway update site in DIR:
#   ca.pem               the authority the program is told to trust ("CAFile")
#   good.pem/.key        www.localhost, signed by it
#   expired.pem/.key     www.localhost, signed by it, valid only in 2020
#   othername.pem/.key   www.example.org, signed by it
#   rogue.pem/.key       www.localhost, signed by an authority nobody trusts
#   minisign.pub/.key    the site's signing key pair (no password)
# Usage: tools/loopback/make_site.sh DIR
set -euo pipefail
dir="$1"
mkdir -p "$dir"
cd "$dir"
quiet() { "$@" >/dev/null 2>&1 || { echo "fehlgeschlagen: $*" >&2; "$@"; exit 1; }; }

authority() { # NAME SUBJECT
  quiet openssl req -x509 -newkey rsa:2048 -nodes -keyout "$1.key" -out "$1.pem" -days 30 \
    -subj "/CN=$2" -addext "basicConstraints=critical,CA:TRUE" -addext "keyUsage=critical,keyCertSign,cRLSign"
}
authority ca "ARTISCOPE Test-CA"
authority rogueca "Fremde Test-CA"

# One server certificate: NAME HOST CA [STARTDATE ENDDATE]
server() {
  local name=$1 host=$2 ca=$3
  quiet openssl req -newkey rsa:2048 -nodes -keyout "$name.key" -out "$name.csr" -subj "/CN=$host"
  printf 'subjectAltName=DNS:%s\nbasicConstraints=CA:FALSE\nextendedKeyUsage=serverAuth\n' "$host" > "$name.ext"
  if [ $# -ge 5 ]; then
    # "openssl x509" takes no start date: a minimal "openssl ca" set-up signs the expired one.
    mkdir -p "ca-$name"
    : > "ca-$name/index.txt"
    cat > "ca-$name/ca.cnf" <<CNF
[ ca ]
default_ca = test
[ test ]
database = ca-$name/index.txt
new_certs_dir = ca-$name
serial = ca-$name/serial
default_md = sha256
policy = any
copy_extensions = none
[ any ]
commonName = supplied
CNF
    echo 1000 > "ca-$name/serial"
    quiet openssl ca -batch -config "ca-$name/ca.cnf" -cert "$ca.pem" -keyfile "$ca.key" -in "$name.csr" \
      -out "$name.pem" -startdate "$4" -enddate "$5" -extfile "$name.ext" -notext
  else
    quiet openssl x509 -req -in "$name.csr" -CA "$ca.pem" -CAkey "$ca.key" -CAcreateserial -days 30 \
      -extfile "$name.ext" -out "$name.pem"
  fi
}
server good www.localhost ca
server expired www.localhost ca 20200101000000Z 20200201000000Z
server othername www.example.org ca
server rogue www.localhost rogueca

rm -f minisign.pub minisign.key
quiet minisign -G -W -p minisign.pub -s minisign.key
