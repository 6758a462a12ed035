#!/usr/bin/env bash
# tools/make-demo-data.sh BIN_DIR DATA_HOME: fills DATA_HOME once with demo
# contacts for both stand-in stores, using the stores' own tools in BIN_DIR:
# 360 people, of whom a quarter are in both stores with equal details, a
# quarter in both with a different business phone, a quarter only in the
# address book and a quarter only in Outlook (270 contacts a side). Names
# carry accents and non-Latin letters, some contacts long notes. The contacts
# are written as two vCard files in DATA_HOME/demo-vcards and imported by the
# tools. A second run on a filled home does nothing.
set -euo pipefail
bin=$(cd "$1" && pwd); home=$2
mkdir -p "$home"; home=$(cd "$home" && pwd)
[ -e "$home/.demo-filled" ] && exit 0
export XDG_DATA_HOME="$home" HOME="$home"
unset PELLMARK_REGISTRY
rm -rf "$home/tessaro" "$home/OlStandin"

first=(Anna Björn Zoë José Françoise Søren Łukasz Chloé Ümit Dmitri Дмитрий Αλέξανδρος
       Mei 美咲 Ravi राज Omar محمد Hannah Noah Inès Mateo Ólafur Yuki)
last=(Smith Müller Øster Nuñez Dupré Kowalski Иванова Παπαδόπουλος 山田 Sharma Haddad
      O\'Brien García Lindqvist Nakamura Brontë Þórsson Novák Rossi Weiß)
companies=("Harbour Trading" "Nordlicht GmbH" "Café Olé" "北辰商事" "Tessaro Labs" "")
titles=(Buyer Director "Head of Sales" Engineer Consultant "")
note="Met at the spring fair in Lisbon; prefers e-mail over calls. Asked for the catalogue in French and in English, and for a call back after the summer holidays. Keeps a second office in Porto from May to September."

# The contacts go into two vCard files, one a store, which the stores' own
# tools then import in one go each.
vcf_dir="$home/demo-vcards"
mkdir -p "$vcf_dir"
wab_vcf="$vcf_dir/wab.vcf"; ol_vcf="$vcf_dir/outlook.vcf"
: >"$wab_vcf"; : >"$ol_vcf"

# A text value with the vCard escapes: backslash, comma, semicolon.
esc() { local v=${1//\\/\\\\}; v=${v//,/\\,}; v=${v//;/\\;}; printf '%s' "$v"; }
# card FILE FIRST LAST MAIL WORK HOME MOBILE COMPANY TITLE NOTE: one vCard
# 3.0 card with CR LF line ends; empty values are left out.
card() {
  local f=$1
  {
    printf 'BEGIN:VCARD\r\nVERSION:3.0\r\n'
    printf 'N:%s;%s;;;\r\nFN:%s\r\n' "$(esc "$3")" "$(esc "$2")" "$(esc "$2 $3")"
    printf 'EMAIL;TYPE=INTERNET:%s\r\n' "$4"
    printf 'TEL;TYPE=WORK,VOICE:%s\r\nTEL;TYPE=HOME,VOICE:%s\r\nTEL;TYPE=CELL:%s\r\n' "$5" "$6" "$7"
    [ -n "$8" ] && printf 'ORG:%s\r\n' "$(esc "$8")"
    [ -n "$9" ] && printf 'TITLE:%s\r\n' "$(esc "$9")"
    [ -n "${10}" ] && printf 'NOTE:%s\r\n' "$(esc "${10}")"
    printf 'END:VCARD\r\n'
  } >>"$f"
}

for ((i = 0; i < 360; i++)); do
  f=${first[i % ${#first[@]}]}; l=${last[(i / ${#first[@]} + i) % ${#last[@]}]}
  mail=$(printf 'contact%03d@example.org' "$i")
  work=$(printf '+1 555 %04d' "$i"); home_p=$(printf '+1 555 %04d' $((i + 5000)))
  mobile=$(printf '+44 7700 %06d' "$i")
  co=${companies[i % ${#companies[@]}]}; ti=${titles[i % ${#titles[@]}]}
  body=""
  if (( i % 7 == 0 )); then body="$note $note"; fi
  case $((i % 4)) in
    0) card "$wab_vcf" "$f" "$l" "$mail" "$work" "$home_p" "$mobile" "$co" "$ti" "$body"
       card "$ol_vcf" "$f" "$l" "$mail" "$work" "$home_p" "$mobile" "$co" "$ti" "$body" ;;
    1) card "$wab_vcf" "$f" "$l" "$mail" "$work" "$home_p" "$mobile" "$co" "$ti" "$body"
       card "$ol_vcf" "$f" "$l" "$mail" "+1 555 9$(printf '%03d' "$i")" "$home_p" "$mobile" "$co" "$ti" "$body" ;;
    2) card "$wab_vcf" "$f" "$l" "$mail" "$work" "$home_p" "$mobile" "$co" "$ti" "$body" ;;
    3) card "$ol_vcf" "$f" "$l" "$mail" "$work" "$home_p" "$mobile" "$co" "$ti" "$body" ;;
  esac
done
# What the import cut to fit a field (long display names) goes to a log.
"$bin/wabtool" "" import "$wab_vcf" >/dev/null 2>"$vcf_dir/import.log"
"$bin/OUTLOOK.EXE" import "$ol_vcf" >/dev/null 2>>"$vcf_dir/import.log"
touch "$home/.demo-filled"
