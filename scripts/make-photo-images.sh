#!/bin/sh
# Builds lib/imagefiles/photos: freely licensed photographs (public domain
# and CC0) from Debian's python3-skimage package, scaled to 256 pixels high
# and written as LZW-compressed TIFF, plus one upside-down target picture
# ("targ0" in its name) for the picture-monitoring tasks.
#
# Build-time needs (not needed to run vistrum): apt-get (to download the
# package), dpkg, and ImageMagick's `convert` (apt-get install imagemagick).
# Run from the project folder:  sh scripts/make-photo-images.sh [outdir]
set -eu

out=${1:-lib/imagefiles/photos}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
chmod 755 "$work"  # apt-get downloads as its own user

(cd "$work" && apt-get download python3-skimage >/dev/null)
dpkg -x "$work"/python3-skimage_*.deb "$work/x"
data=$(find "$work/x" -type d -path '*skimage/data' | head -n 1)
[ -n "$data" ] || { echo "no skimage/data folder in the package" >&2; exit 1; }

mkdir -p "$out"
conv() {  # source file, output name, extra convert options
  src=$1 name=$2
  shift 2
  convert "$data/$src" -strip -resize x256 "$@" -compress lzw "$out/$name"
}
conv astronaut.png astronaut.tif          # a face (RGB)
conv chelsea.png chelsea.tif              # a cat (RGB)
conv coffee.png coffee.tif                # an object (RGB)
conv rocket.jpg rocket.tif                # a scene (RGB)
conv camera.png camera.tif -type Grayscale   # a scene (greyscale file)
conv chelsea.png targ0chelsea.tif -flip   # target: the cat upside down
ls -l "$out"
