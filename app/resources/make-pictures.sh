#!/usr/bin/env bash
# Draws the program's pictures with ImageMagick. Run by hand after changing a
# design; the results are kept in this folder.
set -euo pipefail
cd "$(dirname "$0")"
SANS=/usr/share/fonts/opentype/noto/NotoSansCJK-Bold.ttc
SANS_R=/usr/share/fonts/opentype/noto/NotoSansCJK-Regular.ttc

# Emblem: a stylised block of flats in a rounded square.
emblem() { # size outfile
  local s=$1 out=$2
  convert -size 64x64 xc:none \
    -fill '#f4a51c' -draw 'roundrectangle 2,2 61,61 12,12' \
    -fill white -draw 'rectangle 14,22 30,52' -draw 'rectangle 34,12 50,52' \
    -fill '#f4a51c' \
    -draw 'rectangle 18,27 21,31' -draw 'rectangle 24,27 27,31' \
    -draw 'rectangle 18,35 21,39' -draw 'rectangle 24,35 27,39' \
    -draw 'rectangle 18,43 21,47' -draw 'rectangle 24,43 27,47' \
    -draw 'rectangle 38,17 41,21' -draw 'rectangle 44,17 47,21' \
    -draw 'rectangle 38,25 41,29' -draw 'rectangle 44,25 47,29' \
    -draw 'rectangle 38,33 41,37' -draw 'rectangle 44,33 47,37' \
    -draw 'rectangle 38,41 41,45' -draw 'rectangle 44,41 47,45' \
    -fill white -draw 'rectangle 10,52 54,55' \
    -resize ${s}x${s} "$out"
}
emblem 64 icon.png
emblem 36 about.png

# The desktop menu's icons (installed under share/icons/hicolor): the emblem
# drawn 1024 pixels wide, then scaled down, so the large ones stay sharp.
mkdir -p icons
convert -size 1024x1024 xc:none -affine 16,0,0,16,0,0 \
  -fill '#f4a51c' -draw 'roundrectangle 2,2 61,61 12,12' \
  -fill white -draw 'rectangle 14,22 30,52' -draw 'rectangle 34,12 50,52' \
  -fill '#f4a51c' \
  -draw 'rectangle 18,27 21,31' -draw 'rectangle 24,27 27,31' \
  -draw 'rectangle 18,35 21,39' -draw 'rectangle 24,35 27,39' \
  -draw 'rectangle 18,43 21,47' -draw 'rectangle 24,43 27,47' \
  -draw 'rectangle 38,17 41,21' -draw 'rectangle 44,17 47,21' \
  -draw 'rectangle 38,25 41,29' -draw 'rectangle 44,25 47,29' \
  -draw 'rectangle 38,33 41,37' -draw 'rectangle 44,33 47,37' \
  -draw 'rectangle 38,41 41,45' -draw 'rectangle 44,41 47,45' \
  -fill white -draw 'rectangle 10,52 54,55' \
  emblem-1024.png
for size in 16 22 24 32 48 64 128 256; do
  convert emblem-1024.png -filter Lanczos -resize ${size}x${size} -strip PNG32:icons/fee-reports-$size.png
done
rm -f emblem-1024.png

# Banner 1028x54: everything right of x=590 is even across, except a skyline
# at the far right, so the middle slice repeats seamlessly.
convert -size 1028x54 xc:'#1a4a8a' \( -size 54x1028 gradient:'#2d6cba-#143a70' -rotate 90 \) -composite \
  banner-base.png
convert banner-base.png \
  -fill '#f4a51c' -draw 'rectangle 0,51 1028,53' \
  \( icon.png -resize 40x40 \) -geometry +12+7 -composite \
  -font "$SANS" -pointsize 22 -fill white -annotate +62+35 '物业管理费报表' \
  -font "$SANS_R" -pointsize 11 -fill '#c9dcf5' -annotate +238+34 '物业管理QLX系统2011版 · 收缴率 · 收款汇总 · 收款日报' \
  -fill '#ffffff22' -draw 'polygon 860,50 860,30 880,30 880,50' \
  -fill '#ffffff22' -draw 'polygon 890,50 890,18 915,18 915,50' \
  -fill '#ffffff22' -draw 'polygon 925,50 925,26 945,26 945,50' \
  -fill '#ffffff22' -draw 'polygon 955,50 955,12 985,12 985,50' \
  -fill '#ffffff22' -draw 'polygon 995,50 995,28 1015,28 1015,50' \
  banner.png
rm -f banner-base.png

# Login background 340x227 (the window's client area).
convert -size 340x227 gradient:'#ffffff-#dbe7f5' \
  \( -size 340x36 gradient:'#2d6cba-#163f77' \) -geometry +0+0 -composite \
  -fill '#f4a51c' -draw 'rectangle 0,36 340,37' \
  \( icon.png -resize 26x26 \) -geometry +10+5 -composite \
  -font "$SANS" -pointsize 15 -fill white -annotate +44+25 '物业管理QLX系统' \
  -font "$SANS_R" -pointsize 12 -fill '#1d3f6e' -annotate +84+84 '工  号' -annotate +84+110 '密  码' \
  -fill '#b9cde6' -draw 'rectangle 0,222 340,227' \
  login.png

# Main window background, stretched to the client area.
convert -size 480x360 radial-gradient:'#f7fafe-#c6d7ec' \
  \( -size 480x360 gradient:'#ffffff00-#9fb9db55' \) -composite \
  -type TrueColor BMP3:MDI.BMP
