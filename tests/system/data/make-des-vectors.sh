#!/usr/bin/env bash
# Makes des_vectors.txt: the report encoder's expected outputs, computed by the
# build host's openssl command line (independent of the code under test).
#   usage: make-des-vectors.sh > des_vectors.txt
# Each line: name, plaintext as hex ("-" when empty), openssl's base64 of the
# DES-EDE3 ECB ciphertext with PKCS#5 padding, and that base64 percent-encoded.
set -euo pipefail
export LC_ALL=C

# The cipher key: the first 24 bytes of the report key.
key_text=2031tkmo5820461937relaysession84
key_hex=$(printf '%s' "${key_text:0:24}" | od -An -v -tx1 | tr -d ' \n')

phrase='Vistral3.0 mirrors the screen of a phone or tablet onto this computer; '
report='{"buildver":"","instname":"kxVistralSetup.exe","ios":"","menuid":10087,"model":"","pccid":"700001","pcclient ":60,"pcguid":"{3F2504E0-4F89-11D3-9A0C-0305E82C3301}","pcos":"10.0_0_64","pcvs":"3.01.35","sernum":"","success":"1","type":2,"udid":""}'
report_zh='{"buildver":"","instname":"安装Vistral3.0.exe","ios":"","menuid":10087,"model":"","pccid":"700001","pcclient ":60,"pcguid":"","pcos":"10.0_0_64","pcvs":"3.01.35","sernum":"","success":"0","type":2,"udid":""}'

vector() {  # name, plaintext
    local hex b64 url
    hex=$(printf '%s' "$2" | od -An -v -tx1 | tr -d ' \n')
    b64=$(printf '%s' "$2" | openssl enc -des-ede3 -K "$key_hex" -nosalt | base64 -w0)
    url=$(printf '%s' "$b64" | sed -e 's/+/%2B/g' -e 's#/#%2F#g' -e 's/=/%3D/g')
    printf '%s\t%s\t%s\t%s\n' "$1" "${hex:--}" "$b64" "$url"
}

echo "# made by make-des-vectors.sh with $(openssl version | cut -d' ' -f1-2)"
vector empty ''
vector len7 'kxVistr'
vector len8 'Vistral3'
vector len9 'setup.exe'
vector len16 '0123456789abcdef'
vector len100 "$(printf '%s%s' "$phrase" "$phrase" | head -c 100)"
vector report "$report"$'\n'
vector report_zh "$report_zh"$'\n'
