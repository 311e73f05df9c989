#!/usr/bin/env bash
# Renders every built stimulus type into docs/gallery/ through the program's
# own frame saving, under a private X server: three frames at t = 1, 2, 3 s
# with the type's defaults; a type whose frames differ gets the three side by
# side, a still type one frame. Writes docs/gallery/index.md (number, name,
# description, picture). Types not built yet are listed as such.
# Fails (status 1) when a type that draws renders nothing but background, or
# does not run with its defaults.
#
# Usage: scripts/gallery.sh [-b builddir] [-o outdir] [-x "options for every type"] [type ...]
# Needs: Xvfb, xdotool, netpbm, python3 (scripts/install-deps.sh).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$root/build
out=$root/docs/gallery
every=
while getopts "b:o:x:" o; do
  case $o in
    x) every=$OPTARG ;;
    b) build=$(cd "$OPTARG" && pwd) ;;
    o) out=$OPTARG ;;
    *) sed -n '2,14p' "$0"; exit 1 ;;
  esac
done
shift $((OPTIND - 1))
for cmd in Xvfb xdotool tifftopnm pnmtopng pnmcat python3; do
  command -v "$cmd" >/dev/null || { echo "gallery: $cmd not found (scripts/install-deps.sh installs it)" >&2; exit 1; }
done
prog=$build/vistrum
[ -x "$prog" ] && [ -x "$build/vistrum-manpage" ] || { echo "gallery: build $build first" >&2; exit 1; }

W=192 H=144
# Types that need more than their defaults to show something.
extra() {
  case $1 in
    60) echo "-exptfile codes.scn" ;;
    32) echo "-tiffdir scenes" ;;
    20|22|25|26|28|84|86) echo "-firstframetime 40" ;;     # expanding rings: grown past fixation
    45) echo "-firstframetime 40" ;;
    75) echo "-condlist 1 2 0 -textdur 0.9 -gapdur 0.1" ;;  # word blocks first, words on at whole seconds
    76) echo "-sndfilenames 1 beep.wav" ;;
    *) echo "" ;;
  esac
}

# Types whose stimulus is not on the screen: only fixation is drawn.
nonvisual="69 76 100 101 102 103 104 105 106 107 108 109 110 112 113 119 120"
nonvisualwhat() {
  case $1 in
    69|76) echo "sounds only" ;;
    113) echo "sets the output bits" ;;
    *) echo "drives the air valves or laser outputs" ;;
  esac
}

# drawn <reference> <frame> ...: how many pixels of the frames differ from
# each frame's most common colour where the reference (background and
# fixation) shows its background.
drawn() {
  python3 - "$@" <<'PY'
import sys
from collections import Counter
def read(path):
    data = open(path, 'rb').read()
    fields, pos = [], 0
    while len(fields) < 4:
        while data[pos:pos + 1].isspace():
            pos += 1
        if data[pos:pos + 1] == b'#':
            pos = data.index(b'\n', pos)
            continue
        end = pos
        while not data[end:end + 1].isspace():
            end += 1
        fields.append(data[pos:end])
        pos = end
    w, h = int(fields[1]), int(fields[2])
    body = data[pos + 1:pos + 1 + 3 * w * h]
    return [body[i:i + 3] for i in range(0, len(body), 3)], w, h
ref, w, h = read(sys.argv[1])
refbg = Counter(ref).most_common(1)[0][0]
# Fixation marks differ a little from type to type: two pixels round the
# reference's marks are not counted either.
mark = [False] * (w * h)
for i, r in enumerate(ref):
    if r != refbg:
        x, y = i % w, i // w
        for yy in range(max(0, y - 2), min(h, y + 3)):
            for xx in range(max(0, x - 2), min(w, x + 3)):
                mark[yy * w + xx] = True
count = 0
for path in sys.argv[2:]:
    px = read(path)[0]
    bg = Counter(px).most_common(1)[0][0]
    count += sum(1 for p, m in zip(px, mark) if p != bg and not m)
print(count)
PY
}

tmp=$(mktemp -d)
xpid=
cleanup() {
  [ -n "$xpid" ] && kill "$xpid" 2>/dev/null || true
  rm -rf "$tmp"
}
trap cleanup EXIT
# A private X server on a display number it picks itself.
exec 5>"$tmp/displayfd"
Xvfb -displayfd 5 -screen 0 640x480x24 -nolisten tcp -noreset >/dev/null 2>&1 &
xpid=$!
exec 5>&-
for _ in $(seq 100); do [ -s "$tmp/displayfd" ] && break; sleep 0.1; done
[ -s "$tmp/displayfd" ] || { echo "gallery: Xvfb did not start" >&2; exit 1; }
export DISPLAY=:$(head -1 "$tmp/displayfd")
export VISTRUM_DIR=$root LIBGL_ALWAYS_SOFTWARE=1

# render <type> <dir>: three saved frames of the type into <dir>; status 1
# when the program fails or no window comes up.
render() {
  local n=$1 dir=$2 pid win=
  mkdir -p "$dir/logs"
  # shellcheck disable=SC2046
  (cd "$dir" && exec timeout 120 "$prog" -s "$n" -nofullscreen -winxy $W $H \
     -saveframes 3 1 -firstframetime 1 -tiffoutdir "$dir" $(extra "$n") $every >"$dir/out.txt" 2>&1) &
  pid=$!
  for _ in $(seq 300); do
    win=$(xdotool search --onlyvisible --name '^vistrum$' 2>/dev/null | head -1) || true
    [ -n "$win" ] && break
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.1
  done
  # Keys go to the window under the pointer (no window manager here). A
  # press that comes before the program listens is lost: press again until
  # the first frame is there (one press too many restarts at t = 0, no harm).
  if [ -n "$win" ]; then
    for _ in 1 2 3 4 5 6 7 8 9 10; do
      xdotool mousemove --window "$win" 5 5 key F1 2>/dev/null || true
      for _ in $(seq 50); do
        [ -f "$dir/f00000.tiff" ] || ! kill -0 "$pid" 2>/dev/null && break 2
        sleep 0.1
      done
    done
  fi
  wait "$pid" || return 1
  [ -f "$dir/f00002.tiff" ]
}

mapfile -t catalogue < <("$build/vistrum-manpage" --types)
want=" $* "
mkdir -p "$out"
rm -f "$out"/s*.png
# Background and fixation alone, the picture of "draws nothing".
render 21 "$tmp/bg" || { echo "gallery: type 21 did not render" >&2; cat "$tmp/bg/out.txt" >&2; exit 1; }
tifftopnm "$tmp/bg/f00001.tiff" 2>/dev/null >"$tmp/bg.ppm"

failed=()
{
  echo "# Stimulus types at a glance"
  echo
  echo "Each type with its defaults, rendered by \`scripts/gallery.sh\` through the"
  echo "program's frame saving (${W}x${H} window, t = 1, 2 and 3 s; three frames where"
  echo "the picture changes, one where it stands still; a few types at a later time or"
  echo "with the options that show them, as the script's table says). \`vistrum -h N\`"
  echo "tells more."
  echo
  echo "| type | name | description | frames |"
  echo "|---|---|---|---|"
} >"$tmp/index.md"

for line in "${catalogue[@]}"; do
  IFS=$'\t' read -r n draws logname desc <<<"$line"
  [ $# -gt 0 ] && [[ $want != *" $n "* ]] && continue
  name=$([ "$logname" = "-" ] && echo "" || echo "$logname")
  desc=${desc//|/\\|}
  dir=$tmp/s$n
  if ! render "$n" "$dir"; then
    written=$(ls "$dir"/gau-*.tiff 2>/dev/null | head -1) || true
    if [ -n "$written" ]; then
      # A type that writes a picture and ends: show the picture.
      tifftopnm "$written" 2>/dev/null | pnmtopng -compression 9 >"$out/s$n.png" 2>/dev/null
      echo "| $n | $name | $desc | ![the image type $n writes](s$n.png) |" >>"$tmp/index.md"
      continue
    fi
    if [ "$draws" = 1 ] && [[ $desc != internal:* ]]; then
      echo "gallery: ### type $n did not run with its defaults:" >&2
      tail -3 "$dir/out.txt" >&2
      failed+=("$n")
    fi
    echo "| $n | $name | $desc | (no frames: $(grep -m1 '###' "$dir/out.txt" | sed 's/^vistrum: ### //; s/|/\\|/g')) |" \
      >>"$tmp/index.md"
    continue
  fi
  for k in 0 1 2; do tifftopnm "$dir/f0000$k.tiff" 2>/dev/null >"$dir/$k.ppm"; done
  # Nothing but background: no frame has a pixel off its background colour
  # outside the fixation mark (the marks of type 21's frame).
  if [ "$draws" = 1 ] && [ "$(drawn "$tmp/bg.ppm" "$dir"/[012].ppm)" -lt 10 ]; then
    if [[ " $nonvisual " == *" $n "* ]]; then
      desc="$desc (nothing to see: $(nonvisualwhat "$n"))"
    else
      echo "gallery: ### type $n renders nothing but background" >&2
      failed+=("$n")
    fi
  fi
  if cmp -s "$dir/0.ppm" "$dir/1.ppm" && cmp -s "$dir/1.ppm" "$dir/2.ppm"; then
    pnmtopng -compression 9 "$dir/1.ppm" >"$out/s$n.png" 2>/dev/null
    shown="![type $n](s$n.png)"
  else
    pnmcat -lr -white "$dir/0.ppm" "$dir/1.ppm" "$dir/2.ppm" | pnmtopng -compression 9 >"$out/s$n.png" 2>/dev/null
    shown="![type $n, three frames 1 s apart](s$n.png)"
  fi
  echo "| $n | $name | $desc | $shown |" >>"$tmp/index.md"
done
cp "$tmp/index.md" "$out/index.md"
echo "gallery: $(ls "$out"/s*.png 2>/dev/null | wc -l) pictures and index.md in $out"
if [ ${#failed[@]} -gt 0 ]; then
  echo "gallery: ### types that draw nothing or fail with their defaults: ${failed[*]}" >&2
  exit 1
fi
