#!/usr/bin/env bash
# tools/make-demo-data.sh BIN_DIR DATA_HOME: fills DATA_HOME once with demo
# contacts for both stand-in stores, using the stores' own tools in BIN_DIR:
# 360 people, of whom a quarter are in both stores with equal details, a
# quarter in both with a different business phone, a quarter only in the
# address book and a quarter only in Outlook (270 contacts a side). Names
# carry accents and non-Latin letters, some contacts long notes. A second run
# on a filled home does nothing.
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

wab() { "$bin/wabtool" "" add "$@" >/dev/null; }
ol() { "$bin/OUTLOOK.EXE" add contact "$@" >/dev/null; }

for ((i = 0; i < 360; i++)); do
  f=${first[i % ${#first[@]}]}; l=${last[(i / ${#first[@]} + i) % ${#last[@]}]}
  mail=$(printf 'contact%03d@example.org' "$i")
  work=$(printf '+1 555 %04d' "$i"); home_p=$(printf '+1 555 %04d' $((i + 5000)))
  mobile=$(printf '+44 7700 %06d' "$i")
  co=${companies[i % ${#companies[@]}]}; ti=${titles[i % ${#titles[@]}]}
  body=""
  if (( i % 7 == 0 )); then body="$note $note"; fi
  w=(PR_GIVEN_NAME="$f" PR_SURNAME="$l" PR_DISPLAY_NAME="$f $l" PR_EMAIL_ADDRESS="$mail"
     PR_BUSINESS_TELEPHONE_NUMBER="$work" PR_HOME_TELEPHONE_NUMBER="$home_p"
     PR_MOBILE_TELEPHONE_NUMBER="$mobile" PR_COMPANY_NAME="$co" PR_TITLE="$ti")
  [ -n "$body" ] && w+=(PR_COMMENT="$body")
  o=(FirstName="$f" LastName="$l" Email1Address="$mail" BusinessTelephoneNumber="$work"
     HomeTelephoneNumber="$home_p" MobileTelephoneNumber="$mobile" CompanyName="$co" JobTitle="$ti")
  [ -n "$body" ] && o+=(Body="$body")
  case $((i % 4)) in
    0) wab "${w[@]}"; ol "${o[@]}" ;;
    1) wab "${w[@]}"; o[3]="BusinessTelephoneNumber=+1 555 9$(printf '%03d' "$i")"; ol "${o[@]}" ;;
    2) wab "${w[@]}" ;;
    3) ol "${o[@]}" ;;
  esac
done
touch "$home/.demo-filled"
