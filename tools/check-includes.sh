#!/usr/bin/env bash
# Checks every #include "..." of the project against the layer order:
#   platform -> common/model, common/misc -> common/vcard -> common/oe,
#   common/outlook -> app -> app/ui -> app/main
# A file includes only from its own layer or below. standins/ include only
# platform/ and their own folder (the command-line tools may also use the
# contact record and the vCard reader); tests/, bench/ and fuzz/ anything.
# Prints each wrong edge as "file:line: includes X" and exits 1 when any.
set -euo pipefail
cd "$(dirname "$0")/.."

rank() {  # the layer of a path, or "" for a path outside the layers
  case "$1" in
    platform/*) echo 0 ;;
    common/model/*|common/misc/*) echo 1 ;;
    common/vcard/*) echo 2 ;;
    common/oe/*|common/outlook/*) echo 3 ;;
    app/ui/*) echo 5 ;;
    app/main/*) echo 6 ;;
    app/*) echo 4 ;;
    *) echo "" ;;
  esac
}

# Command-line tools of the stand-ins that read and write vCard files.
TOOL_FILES="standins/wab32/WabTool.cpp standins/outlook/OlCommand.cpp standins/outlook/OutlookMain.cpp"

bad=0
while IFS= read -r -d '' file; do
  case "$file" in tests/*|bench/*|fuzz/*) continue ;; esac
  from=$(rank "$file")
  while IFS=: read -r line inc; do
    inc=${inc#*\"}; inc=${inc%%\"*}
    [ -n "$inc" ] || continue
    case "$inc" in */*) ;; *) continue ;; esac   # a file of the same folder
    to=$(rank "$inc")
    ok=1
    case "$file" in
      standins/*)
        case "$inc" in
          platform/*|standins/*) ;;
          common/model/*|common/vcard/*|common/misc/*)
            case " $TOOL_FILES " in *" $file "*) ;; *) ok=0 ;; esac ;;
          *) ok=0 ;;
        esac ;;
      *)
        if [ -z "$to" ]; then ok=0
        elif [ -n "$from" ] && [ "$to" -gt "$from" ]; then ok=0
        fi ;;
    esac
    if [ $ok -eq 0 ]; then
      echo "$file:$line: includes \"$inc\", which its layer may not use"
      bad=1
    fi
  done < <(grep -n '^[[:space:]]*#[[:space:]]*include[[:space:]]*"' "$file" || true)
done < <(git ls-files -z --cached --others --exclude-standard -- '*.h' '*.cpp' '*.hpp')

if [ $bad -ne 0 ]; then
  echo "include check: wrong edges between layers (see above)"
  exit 1
fi
echo "include check: every include follows the layer order"
