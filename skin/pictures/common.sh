# Shared by the picture scripts (sourced, not run).
# ImageMagick itself: a stand-in of the same name may shadow it on PATH.
IM=/usr/bin/convert
# All text, Latin and Chinese, in the face the window's fonts map to.
FONT=/usr/share/fonts/truetype/wqy/wqy-microhei.ttc

# save IN OUT: 8-bit RGBA PNG without time stamps, so that a rebuild gives
# the same bytes.
save() {
  "$IM" "$1" -alpha on -strip -define png:exclude-chunks=date,time,tIME \
    -depth 8 PNG32:"$2"
}
