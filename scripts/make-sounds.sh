#!/usr/bin/env bash
# Makes the shipped spoken cue files under lib/soundfiles (needs espeak-ng
# and sox, both Debian packages):
#   one2twelve/01.wav .. 12.wav   the numbers one to twelve (periodic cue of
#                                 the auditory type; a clock count-down)
#   painmap/<finger>-<pos>.wav    "index one" .. "little six" (laser map cues;
#                                 finger ind, mid, ring, little; positions 1-6)
# Usage: scripts/make-sounds.sh [library dir, default lib/soundfiles]
set -euo pipefail

out=${1:-"$(dirname "$0")/../lib/soundfiles"}
for cmd in espeak-ng sox; do
  command -v "$cmd" >/dev/null || { echo "make-sounds: $cmd not found (apt-get install $cmd)" >&2; exit 1; }
done
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

numbers=(zero one two three four five six seven eight nine ten eleven twelve)

# say <text> <file>: spoken, 16 kHz mono 16-bit, leading silence trimmed,
# normalised to -1 dB so that every cue is equally loud.
say() {
  espeak-ng -v en -s 150 -w "$tmp/raw.wav" "$1"
  sox "$tmp/raw.wav" -r 16000 -c 1 -b 16 "$2" silence 1 0.01 1% reverse silence 1 0.01 1% reverse norm -1
}

mkdir -p "$out/one2twelve" "$out/painmap"
for n in $(seq 1 12); do
  say "${numbers[$n]}" "$out/one2twelve/$(printf %02d "$n").wav"
done
declare -A spoken=([ind]=index [mid]=middle [ring]=ring [little]=little)
for f in ind mid ring little; do
  for p in 1 2 3 4 5 6; do
    say "${spoken[$f]} ${numbers[$p]}" "$out/painmap/$f-$p.wav"
  done
done
echo "make-sounds: cue files written under $out"
