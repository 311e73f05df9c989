#!/bin/sh
# Builds the photograph folders under lib/imagefiles, one per way the picture
# types use a folder:
#   objects, animals  cut-out photographs of single objects / of animals (the
#                     stamps of Debian's tuxpaint-stamps-default, GPL-2+) and a
#                     few of them upside down with "targ0" in their names, the
#                     targets of the picture-monitoring tasks: every picture a
#                     thing to show in a stream, none a scene;
#   scenes            four landscape photographs (Debian's
#                     lomiri-wallpapers-16.04, CC-BY-4.0) sorting first, then
#                     52 cut-out objects: type 32's backgrounds and objects;
#   pairs             landscape, animal, landscape, animal, ... in name order:
#                     type 33's (background, target) pairs.
# Every picture is scaled and cropped here to 200 x 200 pixels (the stamps
# are about that large) and written as Deflate-compressed TIFF. The cut-outs'
# alpha is cleaned: a pixel below 1/8 opacity becomes fully transparent, and
# so do specks of fewer than 20 pixels apart from the thing (the stamps carry
# faint stray pixels and a faint line or two that would show at full colour
# under -drawtransparency); every fully transparent pixel is the ground grey,
# so the types that draw pictures opaque show the thing on a plain grey
# square. The package copyright files go into each folder beside its README.
#
# Repeatable: the package versions below are fixed (the script stops when
# one cannot be had), the scaling is ImageMagick's (the README records the
# version used), and no time stamp or other metadata is written, so the same
# packages give the same files byte for byte. Not run by the build or the
# tests: its output is committed.
#
# Needs: apt-get, dpkg, ImageMagick (apt-get install imagemagick).
# Run from the project folder:  sh scripts/make-photo-folders.sh [libimagefiles]
set -eu

out=${1:-lib/imagefiles}
STAMPS_PKG=tuxpaint-stamps-default=2022.06.04-1
WALLS_PKG=lomiri-wallpapers-16.04=20.04.0-2
CONVERT=${CONVERT:-/usr/bin/convert}   # ImageMagick itself, not a wrapper on PATH
SIZE=200

# Stamps (under usr/share/tuxpaint/stamps) that are photographs of one thing.
ANIMALS='
amphibians/frog.png birds/albino_peahen.png birds/crowned_crane.png birds/cuckoo.png birds/duck.png
birds/gander.png birds/helmeted_guineafowl.png birds/heron_greatblue_flying.png birds/lark.png
birds/magellanic_penguin.png birds/nandou.png birds/ostrich.png birds/owl.png birds/peacock.png
birds/pelican.png birds/pink_flamingo.png birds/quetzal.png birds/tucan.png birds/turkey.png
birds/vulture.png fish/bluegroper.png fish/coraltrout.png fish/lobster.png fish/seahorse.png
insects/Brown_slug.png insects/Woodlouse.png insects/fly.png insects/grasshopper.png
insects/hornet.png insects/hoverfly.png insects/mantis.png insects/xanthia.png
mammals/apes/chimp.png mammals/apes/tamarin_emperor.png mammals/aquatic/dolphin.png
mammals/aquatic/otter.png mammals/aquatic/sea_lion.png mammals/bears/european-bear.png
mammals/bovines/bull.png mammals/bovines/gnu-baby.png mammals/bovines/gnu-stand.png
mammals/bovines/goat.png mammals/bovines/indian_blackbuck.png mammals/bovines/mountaingoat.png
mammals/bovines/sheep.png mammals/bovines/yak.png mammals/deer/deer.png mammals/deer/doe.png
mammals/dogs/dog.png mammals/dogs/fox.png mammals/equines/donkey.png mammals/equines/horse.png
mammals/equines/zebra.png mammals/ferret.png mammals/giraffe.png mammals/hippopotamus.png
mammals/pig.png mammals/pig_golden.png mammals/rabbit_little.png mammals/rhino_black.png
mammals/rodents/capybara.png mammals/rodents/squirrel.png marsupials/koala.png
marsupials/wombat.png
'
OBJECTS='
food/fruit/Cherry_Stella.png food/fruit/Strawberry2.png food/fruit/apricot.png
food/fruit/avocado.png food/fruit/cherimoya.png food/fruit/grapes.png
food/fruit/kiwi.png food/fruit/lemon.png food/fruit/mandarine.png
food/fruit/orange_seville.png food/fruit/pineapple.png food/spices/ginger.png
food/vegetables/broccoli.png food/vegetables/corn.png food/vegetables/yam.png
hobbies/binoculars.png hobbies/camera_35mm.png hobbies/music/brass/trumpet.png
hobbies/music/percussion/cymbal_crash.png hobbies/music/percussion/drum_tomtom_floor.png
hobbies/music/percussion/drumkit.png hobbies/music/string/cello.png
hobbies/music/string/guitar2.png hobbies/music/string/guitar_classical.png
hobbies/music/string/guitar_electric.png hobbies/music/string/guitar_electric_bass.png
hobbies/music/string/violin.png hobbies/music/wind/bassoon.png
household/Lightbulb.png household/arttools/pen_dryerase.png household/cylinder.png
household/dishes/glass.png household/dishes/mug.png household/dishes/pitcher_small.png
household/dishes/utensils/nutcracker.png household/dishes/utensils/pepper_grinder.png
household/garbagecan.png household/kettle.png household/key.png household/rubberduck.png
household/toilet.png household/tools/cementmixer.png household/tools/hammer.png
household/tools/measuring_tape.png household/tools/plyers.png household/tools/saw.png
household/tools/spade.png household/tools/toolbox.png household/tools/wrench.png
household/tools/wrench_adjustable.png household/tools/wrench_plumbers.png household/wheelie_bin.png
medical/bandage_adhesive.png medical/mercurythermometer.png medical/stethoscope.png
medical/syringe.png sports/australian_rules_football.png sports/basketball.png sports/football.png
sports/tennis_racket.png sports/trophy_cup.png vehicles/auto/beetle.png vehicles/auto/sedan.png
vehicles/auto/sportscar2.png vehicles/auto/truck.png vehicles/construction/dumper.png
vehicles/cycle/pink_tricycle.png vehicles/emergency/firetruck.png vehicles/flight/balloon360.png
vehicles/flight/planes/747.png vehicles/garbagetruck.png vehicles/masstransit/green_korean_bus.png
vehicles/race/indycar.png vehicles/ship/walnutBoat.png vehicles/wheel_tractor.png
'
# Target pictures: these, upside down.
ANIMAL_TARGETS='birds/owl mammals/equines/zebra marsupials/koala mammals/giraffe'
OBJECT_TARGETS='household/kettle hobbies/music/brass/trumpet vehicles/auto/beetle household/key'
# Backgrounds (landscapes), in the order they get.
BACKGROUNDS='aitzgorri_by_Aitzol_Berasategi picosdeeuropa_by_Aitzol_Berasategi life_by_Aitzol_Berasategi
sunset_by_Aitzol_Berasategi'
# Type 32 takes -bgcnt 4 backgrounds and -imcnt 52 objects by default.
SCENE_OBJECTS=52
# The animal pursued over each landscape in turn (type 33).
PAIR_TARGETS='mammals/equines/horse mammals/bovines/mountaingoat amphibians/frog birds/owl'
# Cleaning of the cut-outs' alpha: opacity below this becomes 0, and so do
# separate specks smaller than this many pixels.
MINALPHA=0.125
MINSPECK=20

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
chmod 755 "$work"  # apt-get downloads as its own user
(cd "$work" && apt-get download "$STAMPS_PKG" "$WALLS_PKG" >/dev/null)
for deb in "$work"/*.deb; do dpkg -x "$deb" "$work/x"; done
stamps=$work/x/usr/share/tuxpaint/stamps
walls=$work/x/usr/share/backgrounds
[ -d "$stamps" ] && [ -d "$walls" ] || { echo "unexpected package layout" >&2; exit 1; }

# No profiles, comments or time stamps: the pixels and the tags libtiff needs.
common="-strip"

name() {  # stamp path -> file name: lower case, words joined by '-'
  basename "$1" .png | tr 'A-Z_' 'a-z-'
}
object() {  # stamp, output file, extra options; fitted into the square, ground transparent grey
  src=$1 dst=$2
  shift 2
  # The faint alpha is cut first, then the specks left standing apart (found
  # on the alpha > 0 mask, merged into the empty ground), then the colour of
  # every fully transparent pixel is set to the ground grey.
  "$CONVERT" "$stamps/$src.png" $common -background 'rgba(128,128,128,0)' -alpha set -resize "$((SIZE - 8))x$((SIZE - 8))" \
    -gravity center -extent "${SIZE}x$SIZE" -channel A -fx "u < $MINALPHA ? 0 : u" +channel \
    \( +clone -alpha extract \( +clone -threshold 0 -define connected-components:area-threshold=$MINSPECK \
       -define connected-components:mean-color=true -connected-components 8 \) -compose multiply -composite \) \
    -alpha off -compose CopyOpacity -composite -compose over -alpha background "$@" -compress zip "$dst"
}
landscape() {  # wallpaper, output file; filled and cropped to the square, opaque
  "$CONVERT" "$walls/$1.jpg" $common -resize "${SIZE}x$SIZE^" -gravity center -extent "${SIZE}x$SIZE" \
    -type TrueColor -compress zip "$2"
}
imver=$("$CONVERT" -version | sed -n 's/^Version: ImageMagick \([^ ]*\).*/\1/p')
# The committed files were made with this version; another may scale a little differently.
[ "$imver" = 6.9.11-60 ] || echo "note: ImageMagick $imver, not 6.9.11-60: pictures may differ from the committed ones" >&2
stampsver=${STAMPS_PKG#*=} wallsver=${WALLS_PKG#*=}
row() { printf '| %s | %s | %s | %s |\n' "$@" >> "$readme"; }
bgname() { echo "$1" | sed "s/_by_.*//"; }
walllicence="CC-BY-4.0, Aitzol Berasategi"

# start folder: name, what it holds and for which types (README text),
# whether it holds landscapes (1) or only stamps (0)
start() {
  dir=$out/$1 walls_used=$3
  rm -rf "$dir"
  mkdir -p "$dir"
  readme=$dir/README.md
  if [ "$walls_used" = 1 ]; then
    from="Debian packages ${STAMPS_PKG%=*} $stampsver and ${WALLS_PKG%=*} $wallsver"
    licences="The stamps are GPL-2+ (\"Copyright 2002-2022 by Bill Kendrick\" and
the Tux Paint contributors; COPYRIGHT-tuxpaint-stamps.txt, full text in
LICENSE-GPL-2.txt; the source is the package named above). The landscapes are
CC-BY-4.0, photographs by Aitzol Berasategi, 2018 (their licence text is in
COPYRIGHT-lomiri-wallpapers.txt)."
  else
    from="Debian package ${STAMPS_PKG%=*} $stampsver"
    licences="GPL-2+ (\"Copyright 2002-2022 by Bill Kendrick\" and the Tux Paint
contributors; COPYRIGHT-tuxpaint-stamps.txt, full text in LICENSE-GPL-2.txt;
the source is the package named above)."
  fi
  cat > "$readme" <<END
# $1

$2

Made by \`scripts/make-photo-folders.sh\` (do not edit by hand) from
$from with ImageMagick $imver: every picture scaled and cropped to
$SIZE x $SIZE pixels, Deflate-compressed TIFF. The stamps keep their cut-out
outline as alpha, cleaned of faint pixels (below 1/8 opacity) and of specks
apart from the thing; the ground is transparent grey, so they show as
cut-outs with \`-drawtransparency\` and on a plain grey square without it.

Licences: $licences

| file | package | original file | licence |
|---|---|---|---|
END
}
finish() {
  cp "$work/x/usr/share/doc/tuxpaint-stamps-default/copyright" "$dir/COPYRIGHT-tuxpaint-stamps.txt"
  [ "$walls_used" = 0 ] || cp "$work/x/usr/share/doc/lomiri-wallpapers-16.04/copyright" "$dir/COPYRIGHT-lomiri-wallpapers.txt"
  cp /usr/share/common-licenses/GPL-2 "$dir/LICENSE-GPL-2.txt"
  echo "$dir: $(ls "$dir" | grep -c '\.tif$') pictures, $(du -sk "$dir" | cut -f1) KB"
}
stamp() {  # stamp path (without .png), output name, extra options
  src=$1 f=$2
  shift 2
  object "$src" "$dir/$f" "$@"
  row "$f" "${STAMPS_PKG%=*}" "stamps/$src.png$([ $# = 0 ] || echo ', upside down')" "GPL-2+"
}
category() {  # folder name, stamp prefix, stamp list, target list, what the folder holds
  start "$1" "$5, for the picture streams (\`-tiffdir $1\`): types 1, 3, 26,
28, 29, 31, 34, 35, 53, 54, 57, 59, 78, 83, 84, 85, 111 and 114. No scenes:
every picture is a thing to show. The \`targ0\` pictures are upside-down
copies of other pictures here: the targets of the picture-monitoring tasks
(\`-targtiffinfix targ0\`)." 0
  for s in $3; do stamp "$2${s%.png}" "$(name "$s").tif"; done
  for s in $4; do stamp "$2$s" "targ0-$(name "$s").tif" -flip; done
  finish
}

category animals animals/ "$ANIMALS" "$ANIMAL_TARGETS" "Photographs of 64 animals (mammals, birds, fish, insects) cut out on a transparent ground"
category objects "" "$OBJECTS" "$OBJECT_TARGETS" "Photographs of 75 single objects (tools, household things, musical instruments, vehicles, sports gear, fruit and vegetables) cut out on a transparent ground"

start scenes "Backgrounds and objects for type 32 (\`vistrum -s 32 -tiffdir scenes\`):
four landscape photographs, named \`0bg1\`-\`0bg4\` so that they sort first
(its \`-bgcnt 4\` backgrounds), then $SCENE_OBJECTS cut-out objects (its \`-imcnt $SCENE_OBJECTS\`
objects), the first $SCENE_OBJECTS of the \`objects\` folder's list." 1
k=1
for b in $BACKGROUNDS; do
  f=0bg$k-$(bgname "$b").tif
  landscape "$b" "$dir/$f"
  row "$f" "${WALLS_PKG%=*}" "usr/share/backgrounds/$b.jpg" "$walllicence"
  k=$((k + 1))
done
k=0
for s in $OBJECTS; do
  [ $k -lt $SCENE_OBJECTS ] || break
  stamp "${s%.png}" "$(name "$s").tif"
  k=$((k + 1))
done
finish

start pairs "Background and target pairs for type 33 (\`vistrum -s 33 -tiffdir pairs\`):
in name order a landscape photograph (\`<n>bg\`), then the cut-out animal
pursued over it (\`<n>obj\`), four pairs." 1
set -- $PAIR_TARGETS
k=1
for b in $BACKGROUNDS; do
  f=${k}bg-$(bgname "$b").tif
  landscape "$b" "$dir/$f"
  row "$f" "${WALLS_PKG%=*}" "usr/share/backgrounds/$b.jpg" "$walllicence"
  stamp "animals/$1" "${k}obj-$(name "$1").tif"
  shift
  k=$((k + 1))
done
finish
