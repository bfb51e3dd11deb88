#!/bin/sh
# Remakes the fuzz seeds in seeds/bmp and seeds/psd: tiny files of every kind
# the readers take. ImageMagick writes the common kinds; the short Python
# part crafts what it does not write (RLE4 with deltas, OS/2 2.x headers,
# alpha bit fields, 2-bit pixels, PSD bitmap, indexed and large documents).
set -eu
C=/usr/bin/convert
here=$(cd "$(dirname "$0")" && pwd)
bmp="$here/seeds/bmp"
psd="$here/seeds/psd"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$bmp" "$psd"

$C -size 11x7 -seed 3 plasma:red-blue -depth 8 "$work/p.png"
$C -size 11x7 xc:none -fill "#20C04080" -draw "rectangle 2,1 8,5" -depth 8 "$work/a.png"

$C "$work/p.png" -colors 2 -type Palette BMP3:"$bmp/pal1.bmp"
$C "$work/p.png" -colors 16 -type Palette BMP3:"$bmp/pal4.bmp"
$C "$work/p.png" -colors 200 -type Palette -compress None BMP3:"$bmp/pal8.bmp"
$C "$work/p.png" -colors 200 -type Palette -compress RLE BMP3:"$bmp/rle8.bmp"
$C "$work/p.png" -type TrueColor BMP3:"$bmp/rgb24.bmp"
$C "$work/p.png" -type TrueColor BMP:"$bmp/v5_rgb24.bmp"
$C "$work/p.png" -colors 200 -type Palette BMP2:"$bmp/os2_v1.bmp"
$C "$work/a.png" BMP:"$bmp/v5_alpha32.bmp"

$C "$work/p.png" -type TrueColor -compress None "$psd/rgb8_raw.psd"
$C "$work/p.png" -type TrueColor -compress RLE "$psd/rgb8_rle.psd"
$C "$work/p.png" -type TrueColor -depth 16 -compress None "$psd/rgb16_raw.psd"
$C "$work/p.png" -colorspace Gray -type Grayscale -compress RLE "$psd/grey8_rle.psd"
$C "$work/p.png" -colorspace CMYK -compress RLE "$psd/cmyk8_rle.psd"
$C "$work/p.png" "$work/a.png" -type TrueColorAlpha -compress RLE "$psd/layers_alpha.psd"
$C "$work/p.png" -type TrueColor -compress RLE PSB:"$psd/large_rle.psb"

python3 - "$bmp" "$psd" <<'EOF'
import struct, sys
bmp, psd = sys.argv[1], sys.argv[2]

def bmp_file(name, header_size, w, h, bpp, comp, pixels, palette=(), masks=(), masks_in_header=False):
    hdr = struct.pack('<IiiHHIIiiII', header_size, w, h, 1, bpp, comp, len(pixels), 2835, 2835, len(palette), 0)
    extra = b''.join(struct.pack('<I', m) for m in masks)
    if masks_in_header:
        hdr += extra
        extra = b''
    hdr = (hdr + b'\0' * header_size)[:header_size]
    pal = b''.join(bytes([b, g, r, 0]) for r, g, b in palette)
    off = 14 + len(hdr) + len(extra) + len(pal)
    with open(f'{bmp}/{name}', 'wb') as f:
        f.write(b'BM' + struct.pack('<IHHI', off + len(pixels), 0, 0, off) + hdr + extra + pal + pixels)

pal16 = [(i * 16, 255 - i * 16, (i * 40) % 256) for i in range(16)]
# RLE4: runs, an absolute run with padding, a delta, early end of line, end of bitmap.
bmp_file('rle4_delta.bmp', 40, 9, 4, 4, 2,
         bytes([9, 0x12, 0, 0, 0, 5, 0x34, 0x56, 0x70, 0, 0, 0, 0, 2, 2, 1, 3, 0xAB, 4, 0xCD, 0, 1]), pal16)
bmp_file('rle8_delta.bmp', 40, 6, 3, 8, 1,
         bytes([3, 1, 0, 2, 1, 1, 2, 2, 0, 0, 0, 3, 4, 5, 6, 0, 0, 1]), pal16)
bmp_file('os2_v2_8.bmp', 64, 5, 2, 8, 0, bytes([1, 2, 3, 4, 5, 0, 0, 0, 6, 7, 8, 9, 10, 0, 0, 0]), pal16)
bmp_file('os2_v2_short24.bmp', 16, 2, 2, 24, 0, bytes(range(1, 7)) + b'\0\0' + bytes(range(7, 13)) + b'\0\0')
bmp_file('bf565.bmp', 40, 3, 2, 16, 3, bytes(range(16)), masks=(0xF800, 0x07E0, 0x001F))
bmp_file('bf32_rgbx.bmp', 40, 2, 2, 32, 3, bytes(range(16)), masks=(0xFF, 0xFF00, 0xFF0000))
bmp_file('alphabf16.bmp', 40, 2, 2, 16, 6, bytes([0x5A, 0xF3, 0, 0, 0x12, 0x84, 0xFF, 0xFF]),
         masks=(0x0F00, 0x00F0, 0x000F, 0xF000))
bmp_file('v3_alpha32.bmp', 56, 2, -2, 32, 3, bytes(range(0, 32, 2)),
         masks=(0xFF0000, 0xFF00, 0xFF, 0xFF000000), masks_in_header=True)
bmp_file('pal2.bmp', 40, 7, 2, 2, 0, bytes([0x1B, 0xE4, 0, 0, 0xFF, 0x00, 0, 0]), pal16[:4])
bmp_file('bi_rgb16.bmp', 40, 2, 1, 16, 0, bytes([0x1F, 0x7C, 0xE0, 0x03]))

def psd_file(name, version, channels, w, h, depth, mode, image, colour=b'', resources=b'', layers=b'', comp=0):
    out = b'8BPS' + struct.pack('>H', version) + b'\0' * 6 + struct.pack('>HIIHH', channels, h, w, depth, mode)
    out += struct.pack('>I', len(colour)) + colour + struct.pack('>I', len(resources)) + resources
    out += (struct.pack('>Q', len(layers)) if version == 2 else struct.pack('>I', len(layers))) + layers
    with open(f'{psd}/{name}', 'wb') as f:
        f.write(out + struct.pack('>H', comp) + image)

table = bytes(range(256)) + bytes(255 - i for i in range(256)) + bytes([0x40]) * 256
transparent = b'8BIM' + struct.pack('>HBBI', 1047, 0, 0, 2) + struct.pack('>H', 2)
rows = [bytes([2, 0, 1, 2]), bytes([0xFE, 7])]
psd_file('indexed_rle.psd', 1, 1, 3, 2, 8, 2, struct.pack('>HH', *map(len, rows)) + b''.join(rows),
         colour=table, resources=transparent, comp=1)
psd_file('bitmap.psd', 1, 1, 10, 2, 1, 0, bytes([0b10100000, 0b01000000, 0xFF, 0xC0]))
psd_file('grey16_alpha.psd', 1, 2, 2, 1, 16, 1, bytes([0, 0, 0x80, 0, 0xFF, 0xFF, 0x40, 0x00]),
         layers=struct.pack('>IH', 2, 0xFFFF))
psd_file('cmyk16.psd', 1, 4, 1, 1, 16, 4, bytes([0xFF, 0xFF, 0x80, 0x00, 0x00, 0x00, 0xFF, 0xFF]))
psd_file('duotone.psd', 1, 1, 2, 1, 8, 8, bytes([30, 220]))
EOF
echo "seeds: $(ls "$bmp" | wc -l) BMP, $(ls "$psd" | wc -l) PSD"
