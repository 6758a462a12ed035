#!/usr/bin/env bash
# Writes the program's icon, data/icons/com.tessaro.Pellmark.svg, and its
# 256 x 256 rendering, data/icons/com.tessaro.Pellmark-256.png, from the one
# list of shapes below: two contact cards with arrows between them. Both
# files are kept in the repository; run this after changing a shape.
# Needs ImageMagick's convert (its -draw takes the same path syntax as SVG).
set -euo pipefail
cd "$(dirname "$0")/.."
out=data/icons/com.tessaro.Pellmark

# kind|fill|geometry, on a 256 x 256 canvas:
#   rect x y w h r   circle cx cy r   path SVG-PATH-DATA
SHAPES=(
  "rect|#1f5fa8|8 8 240 240 44"
  "rect|#ffffff|30 70 92 116 12"
  "circle|#1f5fa8|76 110 19"
  "path|#1f5fa8|M46,170 A30,26 0 0 1 106,170 Z"
  "rect|#ffffff|134 70 92 116 12"
  "circle|#2e8b57|180 110 19"
  "path|#2e8b57|M150,170 A30,26 0 0 1 210,170 Z"
  "path|#ffb000|M92,30 H170 V16 L202,42 L170,68 V54 H92 Z"
  "path|#ffb000|M164,202 H86 V188 L54,214 L86,240 V226 H164 Z"
)

svg='<?xml version="1.0" encoding="UTF-8"?>
<svg xmlns="http://www.w3.org/2000/svg" width="256" height="256" viewBox="0 0 256 256">'
draw=()
for s in "${SHAPES[@]}"; do
  IFS='|' read -r kind fill geo <<<"$s"
  case "$kind" in
    rect)
      read -r x y w h r <<<"$geo"
      svg+=$'\n'"  <rect x=\"$x\" y=\"$y\" width=\"$w\" height=\"$h\" rx=\"$r\" fill=\"$fill\"/>"
      draw+=(-fill "$fill" -draw "roundrectangle $x,$y $((x + w - 1)),$((y + h - 1)) $r,$r") ;;
    circle)
      read -r cx cy r <<<"$geo"
      svg+=$'\n'"  <circle cx=\"$cx\" cy=\"$cy\" r=\"$r\" fill=\"$fill\"/>"
      draw+=(-fill "$fill" -draw "circle $cx,$cy $((cx + r)),$cy") ;;
    path)
      svg+=$'\n'"  <path d=\"$geo\" fill=\"$fill\"/>"
      draw+=(-fill "$fill" -draw "path '$geo'") ;;
  esac
done
svg+=$'\n''</svg>'
printf '%s\n' "$svg" >"$out.svg"
convert -size 256x256 xc:none "${draw[@]}" -strip "PNG32:$out-256.png"
echo "wrote $out.svg and $out-256.png"
