# A test PKI for one suite run, made with openssl: a test CA with a server
# certificate for localhost that the prefixes trust, and a second CA with its
# own localhost certificate that nothing trusts.
make_test_pki() {
  local dir=$1 ca leaf
  mkdir -p "$dir"
  printf '%s\n' 'basicConstraints=CA:FALSE' 'keyUsage=critical,digitalSignature,keyEncipherment' \
    'extendedKeyUsage=serverAuth' 'subjectAltName=DNS:localhost,IP:127.0.0.1' > "$dir/server.ext"
  for pair in ca:server untrusted-ca:untrusted; do
    ca=${pair%%:*} leaf=${pair#*:}
    openssl req -x509 -newkey rsa:2048 -nodes -sha256 -days 30 -subj "/CN=Keldo wine suite $ca" \
      -keyout "$dir/$ca.key" -out "$dir/$ca.pem" \
      -addext basicConstraints=critical,CA:TRUE -addext keyUsage=critical,keyCertSign,cRLSign 2>/dev/null
    openssl req -new -newkey rsa:2048 -nodes -sha256 -subj /CN=localhost \
      -keyout "$dir/$leaf.key" -out "$dir/$leaf.csr" 2>/dev/null
    openssl x509 -req -sha256 -days 30 -in "$dir/$leaf.csr" -CA "$dir/$ca.pem" -CAkey "$dir/$ca.key" \
      -set_serial "0x$(openssl rand -hex 8)" -extfile "$dir/server.ext" -out "$dir/$leaf.pem" 2>/dev/null
  done
  openssl x509 -in "$dir/ca.pem" -outform DER -out "$dir/ca.der"
}
