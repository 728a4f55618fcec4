#!/usr/bin/env bash
# Makes the files in this folder: pictures written by other programs, each with a reference
# rendering by an independent decoder, for the corpus test (tests/graphics/CorpusTest.cpp),
# the native checks and the fuzzers' seeds. The build and the tests need none of the writers;
# run this only to make the files again:
#   apt-get install libreoffice-draw-nogui inkscape gnuplot-nox fig2dev imagemagick python3-pil \
#       libjpeg-turbo-progs libimage-exiftool-perl
#   bash tests/data/make-corpus.sh
# A reference NAME.ppm (binary PPM, 8-bit RGB) is the picture as the program should draw it:
# at its natural size, transparent parts over white.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
py=/usr/bin/python3  # the system's Python, which python3-pil serves
cd "$here"
rm -f ./*.emf ./*.wmf ./*.bmp ./*.ico ./*.jpg ./*.ppm

# ---- A photo-like source: smooth shading, shapes and a little noise, the same every time.
"$py" - "$work" <<'EOF'
import random, sys
from PIL import Image, ImageDraw, ImageFilter
work = sys.argv[1]
random.seed(20)
w, h = 120, 90
im = Image.new("RGB", (w, h))
px = im.load()
for y in range(h):
    for x in range(w):
        px[x, y] = (40 + x * 180 // w, 60 + y * 150 // h, 200 - (x + y) * 120 // (w + h))
d = ImageDraw.Draw(im)
d.ellipse((14, 10, 64, 60), fill=(230, 200, 40))
d.rectangle((70, 40, 112, 82), fill=(30, 90, 40))
d.polygon([(10, 86), (40, 62), (66, 86)], fill=(150, 40, 60))
im = im.filter(ImageFilter.GaussianBlur(1.2))
px = im.load()
for y in range(h):
    for x in range(w):
        r, g, b = px[x, y]
        n = random.randint(-8, 8)
        px[x, y] = tuple(max(0, min(255, v + n)) for v in (r, g, b))
im.save(f"{work}/photo.png")
im.save(f"{work}/photo.ppm")
small = im.resize((64, 48), Image.LANCZOS)
small.save(f"{work}/small.png")
# The same with an alpha channel: opaque left, fading right, a see-through corner.
a = Image.new("L", (64, 48))
ap = a.load()
for y in range(48):
    for x in range(64):
        ap[x, y] = 0 if (x > 52 and y < 12) else min(255, 320 - x * 4)
rgba = small.copy()
rgba.putalpha(a)
rgba.save(f"{work}/small-alpha.png")
# An icon picture with see-through surroundings.
icon = Image.new("RGBA", (256, 256), (0, 0, 0, 0))
d = ImageDraw.Draw(icon)
d.ellipse((16, 16, 240, 240), fill=(40, 120, 220, 255))
d.rectangle((80, 80, 176, 176), fill=(250, 210, 30, 255))
d.ellipse((0, 160, 96, 256), fill=(220, 40, 40, 128))
icon.save(f"{work}/icon.png")
# The photo as a drawing of its own size, for LibreOffice to write as a metafile.
import base64
data = base64.b64encode(open(f"{work}/photo.png", "rb").read()).decode()
open(f"{work}/photo.svg", "w").write(
    f'<svg xmlns="http://www.w3.org/2000/svg" xmlns:xlink="http://www.w3.org/1999/xlink" width="{w}" height="{h}">'
    f'<image x="0" y="0" width="{w}" height="{h}" xlink:href="data:image/png;base64,{data}"/></svg>')
EOF

# ---- Metafiles from LibreOffice: two drawings and the photo, each to EMF and WMF.
cp drawing-text.svg drawing-dash.svg "$work/"
for name in drawing-text drawing-dash photo; do
    for ext in emf wmf; do
        (cd "$work" && HOME=$work soffice --headless --convert-to $ext "$name.svg" >/dev/null 2>&1)
        cp "$work/$name.$ext" "lo-$name.$ext"
    done
done

# ---- Metafiles from Inkscape: text, gradients and the photo as an embedded bitmap, each to
# EMF and placeable WMF. Its defaults turn text into paths and a gradient into its average
# colour; these settings keep text as text and write a linear gradient as a gradient record
# (EMF only: a WMF has none).
mkdir -p "$work/inkscape/.config/inkscape"
cat >"$work/inkscape/.config/inkscape/preferences.xml" <<'EOF'
<?xml version="1.0" encoding="UTF-8" standalone="no"?>
<inkscape version="1">
  <group id="extensions" org.inkscape.output.emf.textToPath="false" org.inkscape.output.emf.FixPPTLinGrad="true"
     org.inkscape.output.wmf.textToPath="false" />
</inkscape>
EOF
cp drawing-gradient.svg "$work/"
for name in drawing-text drawing-gradient photo; do
    for ext in emf wmf; do
        HOME=$work/inkscape inkscape --export-type=$ext --export-filename="$here/ink-$name.$ext" "$work/$name.svg" \
            >/dev/null 2>&1
    done
done

# ---- gnuplot's emf terminal: a line plot, and a pm3d surface on a coloured background (for
# which the terminal makes a pen and a brush into slots that still hold one).
gnuplot <<'EOF'
set terminal emf size 480,360 linewidth 3
set output 'gp-lines.emf'
set title 'Tetrafol'
set key left
plot [-5:5] sin(x) with lines linewidth 2, cos(x) with linespoints
set terminal emf size 480,360 background rgb '#fff8e8'
set output 'gp-surface.emf'
set pm3d
set samples 24
set isosamples 24
splot [-5:5] [-5:5] x*x - y*y with pm3d
EOF

# ---- fig2dev, xfig's exporter: a filled box, a circle and two texts, to EMF.
cat >"$work/drawing.fig" <<'EOF'
#FIG 3.2
Landscape
Center
Metric
A4
100.00
Single
-2
1200 2
2 2 0 2 1 4 50 -1 20 0.000 0 0 -1 0 0 5
	 600 600 3600 600 3600 2400 600 2400 600 600
1 3 0 2 0 2 40 -1 20 0.000 1 0.0000 4800 1500 900 900 4800 1500 5700 1500
4 0 0 30 -1 18 28 0.0000 4 330 1800 600 3300 Tetra 4\001
4 0 12 30 -1 0 16 0.0000 4 200 1500 3900 3300 fig2dev\001
EOF
fig2dev -L emf "$work/drawing.fig" fig-drawing.emf

# ---- Bitmaps from ImageMagick and Pillow.
convert "$work/small.png" BMP2:im-bmp2.bmp
convert "$work/small.png" BMP3:im-bmp3.bmp
convert "$work/small-alpha.png" BMP:im-bmp4-alpha.bmp  # BMP: is the fourth and fifth header form
convert "$work/small.png" -define bmp:subtype=RGB565 BMP:im-rgb565.bmp
convert "$work/small.png" -dither None -colors 16 -type Palette BMP3:im-16colours.bmp
convert "$work/small.png" -dither None -colors 200 -type Palette BMP3:im-256colours.bmp
convert "$work/small.png" -monochrome BMP3:im-mono.bmp
"$py" - "$work" <<'EOF'
import sys
from PIL import Image
small = Image.open(sys.argv[1] + "/small.png")
small.convert("1").save("pil-1bit.bmp")
small.convert("P", palette=Image.ADAPTIVE, colors=64).save("pil-palette.bmp")
EOF

# ---- Icons: ImageMagick's auto-resize (PNG at 256, bitmaps below), Pillow's PNG and bitmap
# entries, and a favicon whose 32-bit entry has no AND mask after its pixels.
convert "$work/icon.png" -define icon:auto-resize=256,48,32,16 im-auto.ico
"$py" - "$work" <<'EOF'
import struct, sys
from PIL import Image
icon = Image.open(sys.argv[1] + "/icon.png")
icon.save("pil-png.ico", sizes=[(16, 16), (32, 32), (48, 48)])
icon.save("pil-bmp.ico", sizes=[(16, 16), (32, 32), (48, 48)], bitmap_format="bmp")
# The favicon: one 32 x 32 entry of 32-bit pixels, its alpha the only transparency.
small = icon.resize((32, 32), Image.LANCZOS)
pixels = bytearray()
for y in reversed(range(32)):
    for x in range(32):
        r, g, b, a = small.getpixel((x, y))
        pixels += bytes((b, g, r, a))
header = struct.pack("<IiiHHIIiiII", 40, 32, 64, 1, 32, 0, 0, 0, 0, 0, 0)
image = header + bytes(pixels)
entry = struct.pack("<BBBBHHII", 32, 32, 0, 0, 1, 32, len(image), 6 + 16)
open("favicon-nomask.ico", "wb").write(struct.pack("<HHH", 0, 1, 1) + entry + image)
EOF

# ---- JPEG from ImageMagick, Pillow and cjpeg.
convert "$work/photo.png" -colorspace CMYK -quality 90 im-cmyk.jpg
convert "$work/photo.png" -interlace JPEG -quality 90 im-progressive.jpg
convert "$work/photo.png" -colorspace Gray -quality 90 im-grey.jpg
convert "$work/photo.png" -sampling-factor 4:1:1 -quality 90 im-411.jpg
"$py" - "$work" <<'EOF'
import sys
from PIL import Image
Image.open(sys.argv[1] + "/photo.png").save("pil-progressive.jpg", quality=90, progressive=True, optimize=True)
EOF
cjpeg -quality 90 -arithmetic "$work/photo.ppm" >cj-arithmetic.jpg
cjpeg -quality 90 -restart 2 "$work/photo.ppm" >cj-restart.jpg
cjpeg -quality 90 -progressive "$work/photo.ppm" >cj-progressive.jpg

# ---- The small photo stored turned back from each EXIF orientation (7 in grey, for 8 bits),
# which exiftool then writes, big-endian for odd values: each shows the photo upright.
undo=("" -flop "-rotate 180" -flip -transpose "-rotate -90" -transverse "-rotate 90")
for n in 1 2 3 4 5 6 7 8; do
    convert "$work/small.png" ${undo[n - 1]} $( ((n == 7)) && echo -colorspace Gray) -quality 95 -sampling-factor 1x1 \
        et-orientation-$n.jpg
    exiftool -q -n -overwrite_original -ExifByteOrder=$( ((n % 2)) && echo MM || echo II) -Orientation=$n et-orientation-$n.jpg
done

# ---- References.
# Metafiles: LibreOffice's own rendering of the file it wrote (its SVG import crops the
# drawing's edges when it writes a metafile, so the SVG's rendering is not what the file
# holds), trimmed from the page it is put on and resized to the size the program gives the
# file: an enhanced metafile's frame in its reference device's pixels, a placeable one's box
# at 96 pixels an inch.
for ext in emf wmf; do
    (cd "$work" && HOME=$work soffice --headless --convert-to png --outdir "$work/render-$ext" \
        "$here"/lo-*."$ext" >/dev/null 2>&1)
done
# The other writers' metafiles: Inkscape's rendering, which takes the file's frame as its
# page (nothing to trim away: fig2dev's and gnuplot's frames have white margins) and draws
# gradient records, which LibreOffice leaves out.
for f in ink-*.emf ink-*.wmf gp-*.emf fig-*.emf; do
    HOME=$work/inkscape inkscape --export-type=png --export-filename="$work/render-$f.png" \
        --export-background=white --export-background-opacity=1 "$f" >/dev/null 2>&1
done
for f in *.emf *.wmf; do
    size=$("$py" - "$f" <<'EOF'
import struct, sys
d = open(sys.argv[1], "rb").read()
def muldiv(a, b, c):
    q = abs(a * b) * 2 // abs(c)
    q = (q + 1) // 2
    return q if (a * b >= 0) == (c > 0) else -q
if struct.unpack_from("<I", d, 0)[0] == 1:
    l, t, r, b = struct.unpack_from("<4i", d, 24)
    dw, dh, mw, mh = struct.unpack_from("<4i", d, 72)
    w, h = muldiv(r - l, dw, mw * 100), muldiv(b - t, dh, mh * 100)
else:
    l, t, r, b, inch = struct.unpack_from("<4hH", d, 6)
    fw, fh = muldiv(r - l, 2540, inch or 96), muldiv(b - t, 2540, inch or 96)
    w, h = muldiv(fw, 96, 2540), muldiv(fh, 96, 2540)
# Larger than 480 pixels (a reference device of 1200 dpi): the smallest whole fraction that
# fits, as the corpus test draws it.
k = -(-max(w, h) // 480)
print(muldiv(w, 1, k), muldiv(h, 1, k))
EOF
)
    set -- $size
    base=${f%.*}
    if [ "${f#lo-}" != "$f" ]; then
        convert "$work/render-${f##*.}/$base.png" -background white -flatten -trim +repage \
            -filter Lanczos -resize "$1x$2!" "$base-${f##*.}.ppm"
    else
        convert "$work/render-$f.png" -filter Lanczos -resize "$1x$2!" "$base-${f##*.}.ppm"
    fi
done
# Bitmaps and JPEG: Pillow's decoding, turned as EXIF says (alpha dropped: a bitmap is drawn
# without it); the CMYK file: ImageMagick's, which turns inks into light as the program does.
"$py" - <<'EOF'
import glob
from PIL import Image, ImageOps
for f in sorted(glob.glob("*.bmp") + glob.glob("*.jpg")):
    if f == "im-cmyk.jpg":
        continue
    ImageOps.exif_transpose(Image.open(f)).convert("RGB").save(f.rsplit(".", 1)[0] + "-" + f.rsplit(".", 1)[1] + ".ppm")
# Icons: the 32 x 32 entry (the standard icon size the program asks for) over white.
for f in sorted(glob.glob("*.ico")):
    im = Image.open(f)
    im.size = (32, 32)
    im = im.convert("RGBA")
    white = Image.new("RGBA", im.size, (255, 255, 255, 255))
    Image.alpha_composite(white, im).convert("RGB").save(f.rsplit(".", 1)[0] + "-ico.ppm")
EOF
convert im-cmyk.jpg -colorspace sRGB im-cmyk-jpg.ppm
ls -l "$here" | awk '{ total += $5 } END { print total " bytes in the corpus folder" }'
