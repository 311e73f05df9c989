#!/bin/sh
# Builds the picture folders lib/imagefiles/objects and lib/imagefiles/animals:
# photographs of single objects and of animals, cut out on a transparent
# ground (the stamps of Debian's tuxpaint-stamps-default, GPL-2+), and in each
# folder four landscape photographs (Debian's lomiri-wallpapers-16.04,
# CC-BY-4.0) that sort first, so that type 32 finds them as its backgrounds.
# Every picture is scaled and cropped here to 200 x 200 pixels (the stamps
# are about that large) and written as Deflate-compressed TIFF; a few
# pictures are written again upside down with "targ0" in their names, as
# targets for the picture-monitoring tasks. The package copyright files go
# into each folder beside its README.
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
  "$CONVERT" "$stamps/$src.png" $common -background 'rgba(128,128,128,0)' -alpha set -resize "$((SIZE - 8))x$((SIZE - 8))" \
    -gravity center -extent "${SIZE}x$SIZE" -alpha background "$@" -compress zip "$dst"
}
imver=$("$CONVERT" -version | sed -n 's/^Version: ImageMagick \([^ ]*\).*/\1/p')
# The committed files were made with this version; another may scale a little differently.
[ "$imver" = 6.9.11-60 ] || echo "note: ImageMagick $imver, not 6.9.11-60: pictures may differ from the committed ones" >&2
stampsver=${STAMPS_PKG#*=} wallsver=${WALLS_PKG#*=}
row() { printf '| %s | %s | %s | %s |\n' "$@" >> "$readme"; }
folder() {  # folder name, stamp prefix, stamp list, target list, what the folder holds
  dir=$out/$1 prefix=$2 list=$3 targets=$4
  rm -rf "$dir"
  mkdir -p "$dir"
  readme=$dir/README.md
  cat > "$readme" <<END
# $1

$5, for the picture stimuli (\`-tiffdir $1\`). Made by
\`scripts/make-photo-folders.sh\` (do not edit by hand) from Debian packages
${STAMPS_PKG%=*} $stampsver and ${WALLS_PKG%=*} $wallsver with
ImageMagick $imver: every picture scaled and cropped to $SIZE x $SIZE pixels,
Deflate-compressed TIFF. The stamps keep their cut-out outline as alpha (the
ground is transparent grey, so they show as cut-outs with
\`-drawtransparency\` and on a grey square without it).

The four \`0bg\` landscapes sort first, so a run of type 32 takes them as its
backgrounds (\`-bgcnt 4\`) and the rest as its objects. The \`targ0\` pictures
are upside-down copies of other pictures here: the targets of the
picture-monitoring tasks (\`-targtiffinfix targ0\`).

Licences: the stamps are GPL-2+ ("Copyright 2002-2022 by Bill Kendrick" and
the Tux Paint contributors; COPYRIGHT-tuxpaint-stamps.txt, full text in
LICENSE-GPL-2.txt; the source is the package named above). The landscapes are
CC-BY-4.0, photographs by Aitzol Berasategi, 2018 (their licence text is in
COPYRIGHT-lomiri-wallpapers.txt).

| file | package | original file | licence |
|---|---|---|---|
END
  k=1
  for b in $BACKGROUNDS; do
    f=0bg$k-$(echo "$b" | sed "s/_by_.*//").tif
    "$CONVERT" "$walls/$b.jpg" $common -resize "${SIZE}x$SIZE^" -gravity center -extent "${SIZE}x$SIZE" \
      -type TrueColor -compress zip "$dir/$f"
    row "$f" "${WALLS_PKG%=*}" "usr/share/backgrounds/$b.jpg" "CC-BY-4.0, Aitzol Berasategi"
    k=$((k + 1))
  done
  for s in $list; do
    object "$prefix${s%.png}" "$dir/$(name "$s").tif"
    row "$(name "$s").tif" "${STAMPS_PKG%=*}" "stamps/$prefix$s" "GPL-2+"
  done
  for s in $targets; do
    object "$prefix$s" "$dir/targ0-$(name "$s").tif" -flip
    row "targ0-$(name "$s").tif" "${STAMPS_PKG%=*}" "stamps/$prefix$s.png, upside down" "GPL-2+"
  done
  cp "$work/x/usr/share/doc/tuxpaint-stamps-default/copyright" "$dir/COPYRIGHT-tuxpaint-stamps.txt"
  cp "$work/x/usr/share/doc/lomiri-wallpapers-16.04/copyright" "$dir/COPYRIGHT-lomiri-wallpapers.txt"
  cp /usr/share/common-licenses/GPL-2 "$dir/LICENSE-GPL-2.txt"
  echo "$dir: $(ls "$dir" | grep -c '\.tif$') pictures, $(du -sk "$dir" | cut -f1) KB"
}
folder animals animals/ "$ANIMALS" "$ANIMAL_TARGETS" "Photographs of 64 animals (mammals, birds, fish, insects)"
folder objects "" "$OBJECTS" "$OBJECT_TARGETS" "Photographs of 75 single objects (tools, household things, musical instruments, vehicles, sports gear, fruit and vegetables)"
