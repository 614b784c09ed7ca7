# Shared by the picture scripts (sourced, not run).
# ImageMagick itself: a stand-in of the same name may shadow it on PATH.
IM=/usr/bin/convert
# All text, Latin and Chinese, in the face the window's fonts map to.
FONT=/usr/share/fonts/truetype/wqy/wqy-microhei.ttc

REPACK_PNG="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)/repack_png.py"

# save IN OUT: 8-bit RGBA pixels without time stamps, so that a rebuild gives
# the same bytes, re-encoded in the smallest 8-bit RGBA PNG that holds them
# (repack_png.py); ImageMagick's own decoding must find the same pixels.
save() {
  "$IM" "$1" -alpha on -strip -define png:exclude-chunks=date,time,tIME \
    -depth 8 PNG32:"$2.drawn.png"
  python3 "$REPACK_PNG" "$2.drawn.png" "$2"
  if [ "$("$IM" "$2.drawn.png" -depth 8 RGBA:- | sha1sum)" != "$("$IM" "$2" -depth 8 RGBA:- | sha1sum)" ]; then
    echo "save: $2 does not hold the pixels drawn" >&2
    return 1
  fi
  rm -f "$2.drawn.png"
}
