#!/usr/bin/env bash
# Draws the wizard window's pictures with ImageMagick and stores them as JPEG beside this
# script: the header band (697 x 114), the side-panel picture (167 x 360) and the title-bar
# icon (16 x 17). Run from anywhere: resources/wizard/make-pictures.sh
set -euo pipefail
cd "$(dirname "$(readlink -f "$0")")"
font=$(fc-match -f '%{file}' 'DejaVu Sans:bold')
panel='#054669'      # the side panel's colour
title='#DDE4D2'      # the title bar's colour
navy='#002B55'       # the page texts' colour
gold='#EDBD2E'       # the links' hover colour

# A database drum: a stack of discs seen from the side, at (x, y) with width w, disc height h.
drum() {
  local x=$1 y=$2 w=$3 h=$4 n=$5 body=$6 top=$7 edge=$8 out=""
  local rx=$((w / 2)) ry=$((h / 4)) cx=$((x + w / 2)) i
  for ((i = n - 1; i >= 0; i--)); do
    local ty=$((y + i * h))
    out+=" fill $body stroke $edge stroke-width 1"
    out+=" rectangle $x,$ty $((x + w)),$((ty + h))"
    out+=" ellipse $cx,$((ty + h)) $rx,$ry 0,180"
    out+=" fill $top ellipse $cx,$ty $rx,$ry 0,360"
  done
  echo "$out"
}

# Header: navy to the panel's blue, light rings, the product name at the right (the wizard
# reads from the right), a drum at the left. Only x < 504 and 4 <= y < 102 show.
convert -size 114x697 gradient:"$navy"-'#2F7FA6' -rotate 90 \
  -fill none -stroke '#FFFFFF22' -strokewidth 14 \
  -draw "circle 120,120 120,20" -draw "circle 250,-30 250,60" -draw "circle 430,140 430,80" \
  -stroke none -fill '#FFFFFF18' -draw "rectangle 0,86 697,90" \
  -draw "$(drum 28 22 46 14 4 '#8FB3C9' '#D7E6EE' '#0A3550')" \
  -font "$font" -fill white -pointsize 40 -annotate +300+62 'Mirpan' \
  -fill "$gold" -draw "rectangle 300,70 470,72" \
  -pointsize 11 -kerning 2 -annotate +301+86 'NORVASTO SOFTWARE' \
  -quality 92 WizardHeader.jpg

# Side panel: the panel's blue darkening downwards, a large drum, rings and the product name.
convert -size 167x360 gradient:'#1B6A93'-"$panel" \
  -fill none -stroke '#FFFFFF1E' -strokewidth 10 \
  -draw "circle 84,110 84,40" -draw "circle 20,300 20,250" \
  -stroke none \
  -draw "$(drum 44 58 80 24 4 '#8FB3C9' '#D7E6EE' '#0A3550')" \
  -fill "$gold" -draw "rectangle 30,210 137,212" \
  -font "$font" -fill white -pointsize 26 -gravity north -annotate +0+222 'Mirpan' \
  -fill '#D7E6EE' -pointsize 12 -annotate +0+258 'SetUp' \
  -fill '#FFFFFF30' -pointsize 11 -annotate +0+330 'Norvasto' \
  -quality 92 WizardSidePanel.jpg

# Title-bar icon: a small drum on the title bar's colour.
convert -size 16x17 xc:"$title" \
  -draw "$(drum 3 3 10 3 3 '#2F7FA6' '#8FB3C9' '#002B55')" \
  -quality 95 WizardTitleIcon.jpg
