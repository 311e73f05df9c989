#!/usr/bin/env bash
# First contact: installs what vistrum needs, builds the program alone (not
# the tests), saves 3 s of the basic rotating wedge (type 10) under a private
# X server, shows one frame as a PNG, and names the next commands. Progress
# goes to out/quickstart.log; the terminal gets a few lines.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
mkdir -p out
log="$root/out/quickstart.log"
: >"$log"

fail() {
  echo "vistrum quickstart: $1 failed; the last lines of $log:" >&2
  tail -n 20 "$log" >&2
  exit 1
}

./scripts/install-deps.sh >>"$log" 2>&1 || fail "installing the dependencies"
launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
{ cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo "${launcher[@]}" &&
  cmake --build build -j"$(nproc)" --target vistrum; } >>"$log" 2>&1 || fail "building"
echo "installed the Debian packages vistrum needs and built build/vistrum (progress in out/quickstart.log)"

export VISTRUM_DIR="$root"
out="$root/out/quickstart-frames"
mkdir -p "$out"
rm -f "$out"/f*.tiff "$out"/f*.png
fdfile=$(mktemp)
Xvfb -displayfd 1 -screen 0 1024x768x24 -nolisten tcp >"$fdfile" 2>>"$log" &
xpid=$!
vpid=
cleanup() {
  [ -n "$vpid" ] && kill "$vpid" 2>/dev/null
  kill "$xpid" 2>/dev/null
  rm -f "$fdfile"
}
trap cleanup EXIT
for _ in $(seq 100); do [ -s "$fdfile" ] && break; sleep 0.1; done
[ -s "$fdfile" ] || fail "starting Xvfb"
export DISPLAY=":$(head -n1 "$fdfile")"
export LIBGL_ALWAYS_SOFTWARE=1

(cd "$out" && exec "$root/build/vistrum" -s 10 -nofullscreen -saveframes 180 60 -tiffoutdir "$out") >>"$log" 2>&1 &
vpid=$!
# The save-frames screen waits for F1. A press before the program listens
# is lost, so F1 is pressed until the first frame is written.
for _ in $(seq 120); do
  [ -e "$out/f00000.tiff" ] && break
  kill -0 "$vpid" 2>/dev/null || break
  xdotool key F1 >>"$log" 2>&1 || true
  for _ in $(seq 10); do [ -e "$out/f00000.tiff" ] && break; sleep 0.1; done
done
wait "$vpid" || fail "the run"
vpid=
n=$(find "$out" -name 'f*.tiff' | wc -l)
[ "$n" -gt 0 ] || fail "saving frames"
last=$(printf 'f%05d' $((n - 1)))
tifftopnm "$out/$last.tiff" 2>>"$log" | pnmtopng >"$out/$last.png" 2>>"$log" || fail "converting a frame to PNG"

cat <<EOF
saved $n frames (3 s at 60 frames/s) of the rotating wedge in out/quickstart-frames/
  the last one as a PNG for a browser: out/quickstart-frames/$last.png
a saved run is stepped frame by frame, so none is late. A live run here
  renders in software (no GPU) and its swaps are not synchronised to a
  vertical blank, so some frames come late and the closing line's "dropped"
  is above 0; on the scanner computer's GPU it should be 0.
next:
  VISTRUM_DIR=\$PWD build/vistrum -s 10 -nofullscreen -waitforpulse -1   # in a window (F1 starts, Esc ends)
  VISTRUM_DIR=\$PWD build/vistrum -h 10                                  # what type 10 shows; -s 10 -help: every option
  ./scripts/test.sh                                                      # builds the tests and runs the fast tier
EOF
