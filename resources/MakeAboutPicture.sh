#!/bin/sh
# Draws the about dialog's picture, "Lakeside at Dusk": 151 x 145, 24-bit,
# with a plain BITMAPINFOHEADER (BMP3) so every resource compiler takes it.
# Run from this folder with ImageMagick's own convert.
set -e
/usr/bin/convert -size 151x90 gradient:'#1d2b64'-'#f8b26a' \
  \( -size 151x55 gradient:'#c98a5a'-'#1a2240' \) -append \
  -fill '#ffd27f' -draw 'circle 98,74 98,62' \
  -fill '#3b2a4f' -draw 'polygon 0,90 0,62 18,55 34,64 52,50 70,66 84,60 100,72 118,58 136,68 151,60 151,90' \
  -fill '#23193a' -draw 'polygon 0,90 0,74 22,70 40,78 60,72 82,82 104,76 126,84 151,78 151,90' \
  -fill '#ffe3a3' -draw 'rectangle 92,94 104,95' -draw 'rectangle 88,99 108,100' \
  -draw 'rectangle 94,105 102,106' -draw 'rectangle 90,112 106,113' \
  -fill '#14102a' -draw 'polygon 0,145 0,120 14,116 30,124 44,121 56,132 66,145' \
  -draw 'rectangle 30,96 31,124' -draw 'polygon 22,112 30,92 39,112' -draw 'polygon 20,120 31,100 42,120' \
  -type TrueColor BMP3:About.bmp
