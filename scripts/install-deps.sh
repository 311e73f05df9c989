#!/usr/bin/env bash
# Installs what vistrum needs to build, run and test, from Debian packages.
# Safe to run again: packages already present are skipped.
set -euo pipefail

pkgs=(
  build-essential cmake pkg-config ccache   # compiler, build and compiler cache
  libx11-dev libxtst-dev                    # Xlib window, XTEST keys for tests
  libgl1-mesa-dev libglu1-mesa-dev libgl1-mesa-dri   # OpenGL 1.x, GLU, Mesa software renderer
  libftgl-dev libfreetype-dev               # text drawing
  libtiff-dev                               # pictures and saved frames
  xvfb xauth x11-utils                      # private X server, xdpyinfo
  xdotool                                   # XTEST client for manual key sending
  googletest libgtest-dev                   # unit and end-to-end tests
  sox                                       # the command-line sound player (play)
  espeak-ng                                 # spoken cue files (scripts/make-sounds.sh)
  fonts-dejavu-core fonts-liberation fonts-freefont-ttf   # shipped fonts come from these
  clang libclang-rt-14-dev                  # libFuzzer targets of the file readers (scripts/fuzz.sh)
  man-db groff-base                         # rendering test of the manual page
  netpbm python3                            # gallery PNGs and its empty-frame check (scripts/gallery.sh)
  gnuplot-nox                               # the plots of vistrum-report
)
# Node and npm run the events-table validator (bids-validator from npm); a
# node that brings its own npm stays as it is.
command -v npm >/dev/null || pkgs+=(nodejs npm)

missing=()
for p in "${pkgs[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq
$sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
