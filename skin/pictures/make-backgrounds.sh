#!/usr/bin/env bash
# Draws the three 600 x 280 pictures of the main window's picture area:
#   install_img_01.png  before installation (a phone mirroring to a monitor)
#   install_img_02.png  while installing (download arrows on both screens)
#   install_img_03.png  after installation (a green tick on the monitor)
#   uninstall_img_01.png  the uninstaller's (the devices, no waves)
# The top 50 pixels stay plain: the title icon, title text and close button
# sit there. The band y 243..264 is left free on pictures 02 and 03 for the
# window's "正在安装" / "安装完成" line.
# Coordinates are those of the 100 % picture; SCALE 2 draws the same pictures
# at twice the size (for displays at 125 % to 200 %), every shape, blur and
# text drawn anew at that size, not the 100 % pixels enlarged.
#   usage: make-backgrounds.sh OUTDIR [SCALE]
set -euo pipefail
out=${1:?usage: make-backgrounds.sh OUTDIR [SCALE]}
K=${2:-1}
case $K in 1|2) ;; *) echo "make-backgrounds.sh: SCALE is 1 or 2" >&2; exit 1 ;; esac
# k N: a length of the 100 % picture at this scale. SC: the drawing
# transform that maps 100 % coordinates onto the picture (none at 100 %).
k() { awk -v v="$1" -v k="$K" 'BEGIN { print v * k }'; }
SC=""
[ "$K" = 1 ] || SC="scale $K,$K "
W=$(k 600); H=$(k 280)
here=$(cd "$(dirname "$0")" && pwd)
. "$here/common.sh"
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

# Calm light-blue field with two faint discs, away from the title line,
# fading towards white at the bottom where the white band of the window joins.
"$IM" -size ${W}x${H} -define gradient:angle=160 gradient:'#E6EFFF-#FAFCFF' \
  \( -size ${W}x${H} xc:none -fill '#2D73FF10' -draw "${SC}circle 560,250 560,120" \
     -fill '#2D73FF0C' -draw "${SC}circle 40,270 40,170" -blur 0x$(k 2) \) \
  -compose Over -composite \
  \( -size ${W}x${H} xc:none -fill '#FFFFFFB0' -draw "${SC}ellipse 300,186 170,12 0,360" -blur 0x$(k 8) \) \
  -compose Over -composite \
  \( +define gradient:angle -size ${W}x$(k 60) gradient:'#FFFFFF00-#FFFFFFE0' \) -geometry +0+$(k 220) -compose Over -composite \
  PNG32:"$tmp/field.png"

# A screen face: blue gradient in a rounded rectangle, content drawn on top.
#   screen W H RADIUS CONTENT OUT   (CONTENT: play | download)
screen() {
  local w=$1 h=$2 r=$3 content=$4 o=$5 cx cy s
  cx=$((w / 2)); cy=$((h / 2))
  "$IM" \( -size "${w}x${h}" -define gradient:angle=135 gradient:'#4D97FF-#1E5FE2' \) \
    \( -size "${w}x${h}" xc:none -fill white -draw "roundrectangle 0,0 $((w - 1)),$((h - 1)) $r,$r" \) \
    -compose DstIn -composite PNG32:"$tmp/face.png"
  s=$(( (h < w ? h : w) / 5 ))
  case $content in
    play)
      "$IM" "$tmp/face.png" -fill '#FFFFFF33' -draw "circle $cx,$cy $((cx + s + s / 2)),$cy" \
        -fill white -draw "polygon $((cx - s / 2 + 1)),$((cy - s * 2 / 3)) $((cx - s / 2 + 1)),$((cy + s * 2 / 3)) $((cx + s * 2 / 3 + 1)),$cy" \
        PNG32:"$o" ;;
    download)
      "$IM" "$tmp/face.png" -fill '#FFFFFF33' -draw "circle $cx,$cy $((cx + s + s / 2)),$cy" \
        -stroke white -strokewidth $(( s / 4 > 2 ? s / 4 : 2 )) -fill none -draw 'stroke-linecap round' -draw 'stroke-linejoin round' \
        -draw "line $cx,$((cy - s * 2 / 3)) $cx,$((cy + s / 2))" \
        -draw "polyline $((cx - s / 2)),$cy $cx,$((cy + s / 2)) $((cx + s / 2)),$cy" \
        PNG32:"$o" ;;
  esac
}

# The devices with their soft shadows, on a transparent 600 x 280 layer.
#   devices CONTENT OUT
devices() {
  local content=$1 o=$2
  screen "$(k 152)" "$(k 88)" "$(k 4)" "$content" "$tmp/monitor-face.png"
  screen "$(k 36)" "$(k 62)" "$(k 4)" "$content" "$tmp/phone-face.png"
  "$IM" -size ${W}x${H} xc:none \
    \( -size ${W}x${H} xc:none -fill '#1A3A8040' \
       -draw "${SC}roundrectangle 266,72 434,174 10,10" -draw "${SC}roundrectangle 170,98 218,178 9,9" -blur 0x$(k 6) \
       -geometry +0+$(k 5) \) -compose Over -composite \
    -fill '#D3DBEA' -draw "${SC}polygon 338,172 362,172 366,186 334,186" \
    -fill '#C3CCDD' -draw "${SC}roundrectangle 318,184 382,189 2,2" \
    -fill white -draw "${SC}roundrectangle 266,68 434,174 10,10" \
    -fill '#EEF2F9' -draw "${SC}rectangle 274,162 426,166" \
    -fill white -draw "${SC}roundrectangle 170,96 218,178 9,9" \
    -fill '#DCE3F0' -draw "${SC}roundrectangle 186,101 202,103 1,1" \
    "$tmp/monitor-face.png" -geometry +$(k 274)+$(k 74) -compose Over -composite \
    "$tmp/phone-face.png" -geometry +$(k 176)+$(k 108) -compose Over -composite \
    PNG32:"$o"
}

# Three widening arcs from the phone towards the monitor: the mirroring.
# (Rings cut to a wedge: ImageMagick closes stroked arc paths.)
waves() {
  "$IM" -size ${W}x${H} xc:none \
    \( -size ${W}x${H} xc:none -fill none -stroke '#2D73FFF0' -strokewidth 3 -draw "${SC}circle 212,137 226,137" \
       \( -size ${W}x${H} xc:none -fill white -draw "${SC}polygon 212,137 262,85.2 262,188.8" \) -compose DstIn -composite \
       -stroke none -fill '#2D73FFF0' -draw "${SC}circle 221.7,126.9 223.2,126.9" -draw "${SC}circle 221.7,147.1 223.2,147.1" \) \
    -compose Over -composite \
    \( -size ${W}x${H} xc:none -fill none -stroke '#2D73FFB0' -strokewidth 3 -draw "${SC}circle 212,137 236,137" \
       \( -size ${W}x${H} xc:none -fill white -draw "${SC}polygon 212,137 262,88.7 262,185.3" \) -compose DstIn -composite \
       -stroke none -fill '#2D73FFB0' -draw "${SC}circle 229.3,120.3 230.8,120.3" -draw "${SC}circle 229.3,153.7 230.8,153.7" \) \
    -compose Over -composite \
    \( -size ${W}x${H} xc:none -fill none -stroke '#2D73FF70' -strokewidth 3 -draw "${SC}circle 212,137 246,137" \
       \( -size ${W}x${H} xc:none -fill white -draw "${SC}polygon 212,137 262,92.0 262,182.0" \) -compose DstIn -composite \
       -stroke none -fill '#2D73FF70' -draw "${SC}circle 237.3,114.2 238.8,114.2" -draw "${SC}circle 237.3,159.8 238.8,159.8" \) \
    -compose Over -composite \
    PNG32:"$1"
}

# "Vistral3.0" centred with its top at y; the version part in the brand blue.
#   name Y OUT
name() {
  "$IM" -background none -font "$FONT" -pointsize "$(k 30)" \
    \( -fill '#192846' -stroke '#192846' -strokewidth "$(k 0.6)" label:'Vistral' \) \
    \( -fill '#2D73FF' -stroke '#2D73FF' -strokewidth "$(k 0.6)" label:'3.0' \) \
    +append -trim +repage "$tmp/name-text.png"
  "$IM" -size ${W}x${H} xc:none "$tmp/name-text.png" -gravity north -geometry +0+"$(k "$1")" \
    -compose Over -composite PNG32:"$2"
}

# A green tick badge at the monitor's top-right corner.
badge() {
  "$IM" -size ${W}x${H} xc:none \
    \( -size ${W}x${H} xc:none -fill '#0E7A4A50' -draw "${SC}circle 428,76 428,92" -blur 0x$(k 4) -geometry +0+$(k 3) \) \
    -compose Over -composite \
    -fill white -draw "${SC}circle 428,76 428,95" \
    -fill '#1FC47B' -draw "${SC}circle 428,76 428,92" \
    -fill none -stroke white -strokewidth 3.5 -draw "${SC}stroke-linecap round" -draw "${SC}stroke-linejoin round" \
    -draw "${SC}polyline 420,76 426,82 437,70" \
    PNG32:"$1"
}

waves "$tmp/waves.png"
name 196 "$tmp/name.png"

# Picture 01 carries the product's line under the name.
devices play "$tmp/dev-play.png"
"$IM" -background none -font "$FONT" -pointsize "$(k 14)" -fill '#7882A0' \
  label:'手机电脑  ·  多屏互动  ·  极速投屏' -trim +repage "$tmp/tagline.png"
"$IM" "$tmp/field.png" "$tmp/dev-play.png" -compose Over -composite \
  "$tmp/waves.png" -compose Over -composite \
  "$tmp/name.png" -compose Over -composite \
  "$tmp/tagline.png" -gravity north -geometry +0+$(k 244) -compose Over -composite \
  "$tmp/img01.png"
save "$tmp/img01.png" "$out/install_img_01.png"

devices download "$tmp/dev-down.png"
"$IM" "$tmp/field.png" "$tmp/dev-down.png" -compose Over -composite \
  "$tmp/waves.png" -compose Over -composite \
  "$tmp/name.png" -compose Over -composite \
  "$tmp/img02.png"
save "$tmp/img02.png" "$out/install_img_02.png"

badge "$tmp/badge.png"
"$IM" "$tmp/field.png" "$tmp/dev-play.png" -compose Over -composite \
  "$tmp/waves.png" -compose Over -composite \
  "$tmp/badge.png" -compose Over -composite \
  "$tmp/name.png" -compose Over -composite \
  "$tmp/img03.png"
save "$tmp/img03.png" "$out/install_img_03.png"

# The uninstaller's picture: the devices without the waves between them;
# the band y 243..264 stays free for its state line.
"$IM" "$tmp/field.png" "$tmp/dev-play.png" -compose Over -composite \
  "$tmp/name.png" -compose Over -composite \
  "$tmp/uninst01.png"
save "$tmp/uninst01.png" "$out/uninstall_img_01.png"
