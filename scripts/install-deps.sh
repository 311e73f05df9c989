#!/usr/bin/env bash
# Installs what vistrum needs to build, run and test, from Debian packages.
# Safe to run again: packages already present are skipped.
set -euo pipefail

pkgs=(
  build-essential cmake pkg-config ccache   # compiler, build and compiler cache
  libx11-dev libxtst-dev                    # Xlib window, XTEST keys for tests
  libxinerama-dev libxrandr-dev             # the monitors of a desktop (-monitor), gamma ramps (RandR)
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
  locales                                   # de_DE.UTF-8 for the tests of number output under a German locale
)
# The full tier renders the run report in a real browser (headless Chromium,
# a large download the fast tier does without: it checks the page as text).
[ "${VISTRUM_FULL:-0}" = 1 ] && pkgs+=(chromium)
# Node and npm run the events-table validator (bids-validator from npm); a
# node that brings its own npm stays as it is.
command -v npm >/dev/null || pkgs+=(nodejs npm)

# The locale tests need a locale whose decimal point is a comma.
gen_locale() {
  locale -a 2>/dev/null | grep -qi '^de_DE\.utf-\?8$' && return 0
  command -v locale-gen >/dev/null || return 0
  local sudo=""
  [ "$(id -u)" -ne 0 ] && sudo="sudo"
  grep -q '^de_DE.UTF-8 UTF-8' /etc/locale.gen 2>/dev/null || echo 'de_DE.UTF-8 UTF-8' | $sudo tee -a /etc/locale.gen >/dev/null
  $sudo locale-gen >/dev/null
}

missing=()
for p in "${pkgs[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -eq 0 ]; then gen_locale; exit 0; fi

sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq
$sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
gen_locale
