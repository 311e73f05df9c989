#!/usr/bin/env bash
# Renders every built stimulus type into docs/gallery/ through the program's
# own frame saving, under a private X server: three frames at t = 1, 2, 3 s
# with the type's defaults; a type whose frames differ gets the three side by
# side, a still type one frame. Writes docs/gallery/index.md (number, name,
# description, picture). Types not built yet are listed as such.
# Fails (status 1) when a type that draws renders nothing but background, or
# does not run with its defaults.
#
# Usage: scripts/gallery.sh [-b builddir] [-o outdir] [type ...]
# Needs: Xvfb, xdotool, netpbm (scripts/install-deps.sh).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$root/build
out=$root/docs/gallery
while getopts "b:o:" o; do
  case $o in
    b) build=$(cd "$OPTARG" && pwd) ;;
    o) out=$OPTARG ;;
    *) sed -n '2,14p' "$0"; exit 1 ;;
  esac
done
shift $((OPTIND - 1))
for cmd in Xvfb xdotool tifftopnm pnmtopng pnmcat ppmhist; do
  command -v "$cmd" >/dev/null || { echo "gallery: $cmd not found (scripts/install-deps.sh installs it)" >&2; exit 1; }
done
prog=$build/vistrum
[ -x "$prog" ] && [ -x "$build/vistrum-manpage" ] || { echo "gallery: build $build first" >&2; exit 1; }

W=192 H=144
# Types that need more than their defaults to show something.
extra() {
  case $1 in
    60) echo "-exptfile codes.scn" ;;
    *) echo "" ;;
  esac
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
  (cd "$dir" && exec timeout 120 "$prog" -s "$n" $(extra "$n") -nofullscreen -winxy $W $H \
     -saveframes 3 1 -firstframetime 1 -tiffoutdir "$dir" >"$dir/out.txt" 2>&1) &
  pid=$!
  for _ in $(seq 300); do
    win=$(xdotool search --onlyvisible --name '^vistrum$' 2>/dev/null | head -1) || true
    [ -n "$win" ] && break
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.1
  done
  # Keys go to the window under the pointer (no window manager here).
  [ -n "$win" ] && xdotool mousemove --window "$win" 5 5 key F1 2>/dev/null || true
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
  echo "the picture changes, one where it stands still). \`vistrum -h N\` tells more."
  echo
  echo "| type | name | description | frames |"
  echo "|---|---|---|---|"
} >"$tmp/index.md"

for line in "${catalogue[@]}"; do
  IFS=$'\t' read -r n built draws logname desc <<<"$line"
  [ $# -gt 0 ] && [[ $want != *" $n "* ]] && continue
  name=$([ "$logname" = "-" ] && echo "" || echo "$logname")
  desc=${desc//|/\\|}
  if [ "$built" != 1 ]; then
    echo "| $n | $name | $desc | not built yet |" >>"$tmp/index.md"
    continue
  fi
  dir=$tmp/s$n
  if ! render "$n" "$dir"; then
    if [ "$draws" = 1 ]; then
      echo "gallery: ### type $n did not run with its defaults:" >&2
      tail -3 "$dir/out.txt" >&2
      failed+=("$n")
    fi
    echo "| $n | $name | $desc | (no frames: $(grep -m1 '###' "$dir/out.txt" | sed 's/^vistrum: ### //; s/|/\\|/g')) |" \
      >>"$tmp/index.md"
    continue
  fi
  for k in 0 1 2; do tifftopnm "$dir/f0000$k.tiff" 2>/dev/null >"$dir/$k.ppm"; done
  # Nothing but background: every frame is one colour or the bare background.
  if [ "$draws" = 1 ]; then
    blank=1
    for k in 0 1 2; do
      colours=$(ppmhist -noheader "$dir/$k.ppm" | wc -l)
      [ "$colours" -gt 1 ] && ! cmp -s "$dir/$k.ppm" "$tmp/bg.ppm" && blank=0
    done
    if [ $blank = 1 ]; then
      echo "gallery: ### type $n renders nothing but background" >&2
      failed+=("$n")
    fi
  fi
  if cmp -s "$dir/0.ppm" "$dir/1.ppm" && cmp -s "$dir/1.ppm" "$dir/2.ppm"; then
    pnmtopng -compression 9 "$dir/1.ppm" >"$out/s$n.png" 2>/dev/null
    shown="![type $n](s$n.png)"
  else
    pnmcat -lr -white "$dir/0.ppm" "$dir/1.ppm" "$dir/2.ppm" | pnmtopng -compression 9 >"$out/s$n.png" 2>/dev/null
    shown="![type $n at 1, 2, 3 s](s$n.png)"
  fi
  echo "| $n | $name | $desc | $shown |" >>"$tmp/index.md"
done
cp "$tmp/index.md" "$out/index.md"
echo "gallery: $(ls "$out"/s*.png 2>/dev/null | wc -l) pictures and index.md in $out"
if [ ${#failed[@]} -gt 0 ]; then
  echo "gallery: ### types that draw nothing or fail with their defaults: ${failed[*]}" >&2
  exit 1
fi
