#!/usr/bin/env bash
# Draws the small pictures of the skin: title icon, title-bar buttons, check
# box, expand arrows, folder icon, progress fill, message icons, scroll-bar
# parts and the window shadow.
#
# Small pictures are drawn four times larger and reduced with a box filter,
# which gives clean anti-aliased edges. Coordinates below are in the pixels of
# the 100 % picture, measured from its top-left edge (the affine transform maps
# them onto the large canvas). SCALE 2 draws the same pictures at twice the
# size, for displays at 125 % to 200 %: the same shapes with twice the detail,
# not enlarged pixels.
#   usage: make-controls.sh OUTDIR [SCALE]
set -euo pipefail
out=${1:?usage: make-controls.sh OUTDIR [SCALE]}
K=${2:-1}
case $K in 1|2) ;; *) echo "make-controls.sh: SCALE is 1 or 2" >&2; exit 1 ;; esac
here=$(cd "$(dirname "$0")" && pwd)
. "$here/common.sh"
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

S=4
XF="affine $((S * K)),0,0,$((S * K)),-0.5,-0.5"

# small W H OUT MVG...: one picture of W x H pixels drawn from MVG strings.
small() {
  local w=$1 h=$2 o=$3; shift 3
  local args=()
  for m in "$@"; do args+=(-draw "$XF $m"); done
  "$IM" -size "$((w * S * K))x$((h * S * K))" xc:none "${args[@]}" \
    -filter Box -resize "$((w * K))x$((h * K))!" PNG32:"$o"
}

# --- title icon: the product tile, a monitor with a phone in front --------
"$IM" -size "$((20 * S * K))x$((20 * S * K))" -define gradient:angle=135 gradient:'#44A6FF-#1456D8' -alpha set \
  \( -size "$((20 * S * K))x$((20 * S * K))" xc:none -draw "$XF fill white roundrectangle 0.5,0.5 19.5,19.5 4.5,4.5" \) \
  -compose DstIn -composite -compose Over \
  -draw "$XF fill none stroke white stroke-width 1.5 roundrectangle 3.75,4.75 13.25,12.25 1,1" \
  -draw "$XF fill white stroke none rectangle 7.5,12.25 9.5,14.25 roundrectangle 5.5,14 11.5,15.25 0.6,0.6" \
  -draw "$XF fill #1A5FE0 stroke none roundrectangle 11.25,7.25 17.25,16.75 1.6,1.6" \
  -draw "$XF fill white stroke none roundrectangle 12.25,8.25 16.25,15.75 1.2,1.2" \
  -draw "$XF fill #2D7CF0 stroke none rectangle 13.25,9.75 15.25,13.75" \
  -filter Box -resize "$((20 * K))x$((20 * K))!" PNG32:"$tmp/icon_title_20x20.png"

# --- title-bar buttons: columns minimise, maximise, close; rows normal, hot,
# pushed, disabled. Only the close column is used by the layouts.
btn_cell() {  # btn_cell GLYPH ROW OUT
  local glyph=$1 row=$2 o=$3 ink bg=""
  case $row in
    0) ink='#6B7590' ;;
    1) ink='#1A243E'; bg="fill #1A243E16 roundrectangle 0,0 20,20 4,4" ;;
    2) ink='#1A243E'; bg="fill #1A243E2A roundrectangle 0,0 20,20 4,4" ;;
    3) ink='#C3C8D5' ;;
  esac
  local g
  case $glyph in
    min)   g="fill none stroke $ink stroke-width 1.5 line 5.5,10 14.5,10" ;;
    max)   g="fill none stroke $ink stroke-width 1.4 rectangle 5.7,5.7 14.3,14.3" ;;
    close) g="fill none stroke $ink stroke-width 1.5 stroke-linecap round line 6,6 14,14 line 14,6 6,14" ;;
  esac
  if [ -n "$bg" ]; then small 20 20 "$o" "$bg" "$g"; else small 20 20 "$o" "$g"; fi
}
cols=()
for glyph in min max close; do
  rows=()
  for row in 0 1 2 3; do
    btn_cell "$glyph" "$row" "$tmp/btn-$glyph-$row.png"
    rows+=("$tmp/btn-$glyph-$row.png")
  done
  "$IM" -background none "${rows[@]}" -append PNG32:"$tmp/btn-$glyph.png"
  cols+=("$tmp/btn-$glyph.png")
done
"$IM" -background none "${cols[@]}" +append PNG32:"$tmp/Head_btnsys_20x20.png"

# --- check box: column 0 unchecked, column 1 checked; rows normal, hot,
# pushed, disabled.
TICK="fill none stroke white stroke-width 1.7 stroke-linecap round stroke-linejoin round polyline 4.6,8.3 7.1,10.7 11.6,5.8"
check_cell() {  # check_cell CHECKED ROW OUT [TICKCOLOUR]
  local on=$1 row=$2 o=$3 border fill
  if [ "$on" = 0 ]; then
    case $row in
      0) border='#C3C8D5'; fill='#FFFFFF' ;;
      1) border='#2D73FF'; fill='#FFFFFF' ;;
      2) border='#1E5FE2'; fill='#E5EEFF' ;;
      3) border='#DDE1E8'; fill='#F3F4F7' ;;
    esac
    small 16 16 "$o" "fill $fill stroke $border stroke-width 1 roundrectangle 1.5,1.5 14.5,14.5 2.5,2.5"
  else
    case $row in
      0) fill='#2D73FF' ;;
      1) fill='#528CFF' ;;
      2) fill='#1E5FE2' ;;
      3) fill='#C3C8D5' ;;
    esac
    small 16 16 "$o" "fill $fill stroke none roundrectangle 1,1 15,15 3,3" "$TICK"
  fi
}
cols=()
for on in 0 1; do
  rows=()
  for row in 0 1 2 3; do
    check_cell "$on" "$row" "$tmp/check-$on-$row.png"
    rows+=("$tmp/check-$on-$row.png")
  done
  "$IM" -background none "${rows[@]}" -append PNG32:"$tmp/check-$on.png"
  cols+=("$tmp/check-$on.png")
done
"$IM" -background none "${cols[@]}" +append PNG32:"$tmp/Controls_select_16x16.png"

# --- custom-install arrows: down while folded, up while unfolded ----------
ARROW="fill none stroke #5A6480 stroke-width 1.4 stroke-linecap round stroke-linejoin round"
small 12 12 "$tmp/unexpand_12x12.png" "$ARROW polyline 2.8,4.6 6,7.8 9.2,4.6"
small 12 12 "$tmp/expand_12x12.png" "$ARROW polyline 2.8,7.6 6,4.4 9.2,7.6"

# --- folder icon of the browse button --------------------------------------
small 14 14 "$tmp/icon_folder_14x14.png" \
  "fill #76819D stroke none path 'M 1,3.2 Q 1,2 2.2,2 L 5.2,2 L 6.7,3.5 L 11.8,3.5 Q 13,3.5 13,4.7 L 13,5.5 L 1,5.5 Z'" \
  "fill none stroke #76819D stroke-width 1.2 stroke-linejoin round path 'M 1.6,3 L 1.6,11.2 Q 1.6,12.4 2.8,12.4 L 11.2,12.4 Q 12.4,12.4 12.4,11.2 L 12.4,4.2'"

# --- progress fill: a 5-pixel pill, a little lighter at its start ----------
"$IM" -size "$((5 * S * K))x$((200 * S * K))" gradient:'#2D73FF-#5B9BFF' -rotate 90 \
  \( -size "$((200 * S * K))x$((5 * S * K))" xc:none -draw "$XF fill white roundrectangle 0,0 200,5 2.5,2.5" \) \
  -compose DstIn -composite -filter Box -resize "$((200 * K))x$((5 * K))!" PNG32:"$tmp/progress_fore.png"

# --- message icons, stacked: error, question, success, warning -------------
DISC="stroke none roundrectangle 0.5,0.5 21.5,21.5 10.5,10.5"
WHITE="fill none stroke white stroke-width 2.2 stroke-linecap round stroke-linejoin round"
small 22 22 "$tmp/mi-error.png" "fill #F5484A $DISC" "$WHITE line 7.6,7.6 14.4,14.4 line 14.4,7.6 7.6,14.4"
small 22 22 "$tmp/mi-question.png" "fill #2D73FF $DISC" \
  "$WHITE path 'M 7.8,8.6 Q 7.9,5.6 11,5.6 Q 14.2,5.6 14.2,8.5 Q 14.2,10.3 12.3,11.2 Q 11,11.8 11,13.2'" \
  "fill white stroke none roundrectangle 9.75,15.05 12.25,17.55 1.25,1.25"
small 22 22 "$tmp/mi-success.png" "fill #1FBF76 $DISC" "$WHITE polyline 6.6,11.3 9.7,14.3 15.6,8.2"
small 22 22 "$tmp/mi-warning.png" "fill #FF9A1F $DISC" \
  "$WHITE line 11,5.9 11,12.4" \
  "fill white stroke none roundrectangle 9.75,14.95 12.25,17.45 1.25,1.25"
"$IM" -background none "$tmp/mi-error.png" "$tmp/mi-question.png" "$tmp/mi-success.png" \
  "$tmp/mi-warning.png" -append PNG32:"$tmp/messagebox_icon_22x22.png"

# --- scroll bars: thumb normal, hot, pushed, then the track; each a 9-pixel
# strip holding a thin pill. The horizontal picture is the transposed one.
small 36 102 "$tmp/vscrollbar.png" \
  "fill #CDD3DE roundrectangle 2,1 7,101 2.5,2.5" \
  "fill #B3BBCA roundrectangle 11,1 16,101 2.5,2.5" \
  "fill #98A1B4 roundrectangle 20,1 25,101 2.5,2.5" \
  "fill #F1F3F7 roundrectangle 29,1 34,101 2.5,2.5"
"$IM" "$tmp/vscrollbar.png" -transpose PNG32:"$tmp/hscrollbar.png"

# --- window shadow: 624 x 424 around a 600 x 400 window, 12 pixels each
# side, a little heavier below; the window's own area is left clear.
"$IM" -size "$((624 * K))x$((424 * K))" xc:none -fill '#0B1A3A5A' \
  -draw "rectangle $((12 * K)),$((13 * K)) $((612 * K - 1)),$((414 * K - 1))" \
  -channel A -blur "0x$((4 * K))" +channel \
  \( -size "$((624 * K))x$((424 * K))" xc:none -fill black \
     -draw "rectangle $((12 * K)),$((12 * K)) $((612 * K - 1)),$((412 * K - 1))" \) \
  -compose DstOut -composite PNG32:"$tmp/Window_shadow.png"

for f in icon_title_20x20 Head_btnsys_20x20 Controls_select_16x16 unexpand_12x12 expand_12x12 \
         icon_folder_14x14 progress_fore messagebox_icon_22x22 vscrollbar hscrollbar Window_shadow; do
  save "$tmp/$f.png" "$out/$f.png"
done
