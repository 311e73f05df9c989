#!/usr/bin/env bash
# Sets everything up and runs the basic rotating checkerboard wedge
# (stimulus type 10). With a display: a window on $DISPLAY (Esc ends it).
# Without one: a private X server, 3 s of frames saved as TIFF files.
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/build.sh
export VISTRUM_DIR="$PWD"

if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then
  echo "vistrum: F1 starts the wedge, Esc ends the run"
  exec build/vistrum -s 10 -nofullscreen -waitforpulse -1
fi

out="$PWD/out/quickstart-frames"
mkdir -p "$out"
rm -f "$out"/f*.tiff
fdfile=$(mktemp)
Xvfb -displayfd 1 -screen 0 1024x768x24 -nolisten tcp >"$fdfile" 2>/dev/null &
xpid=$!
trap 'kill "$xpid" 2>/dev/null || true; rm -f "$fdfile"' EXIT
for _ in $(seq 100); do [ -s "$fdfile" ] && break; sleep 0.1; done
export DISPLAY=":$(head -n1 "$fdfile")"
export LIBGL_ALWAYS_SOFTWARE=1

build/vistrum -s 10 -saveframes 180 60 -tiffoutdir "$out" &
vpid=$!
# The program waits on its save-frames screen for F1.
for _ in $(seq 200); do
  xdotool search --name '^vistrum$' >/dev/null 2>&1 && break
  sleep 0.1
done
sleep 0.5
xdotool key F1
wait "$vpid"
echo "vistrum: saved $(ls "$out" | wc -l) frames (3 s at 60 Hz) in $out"
