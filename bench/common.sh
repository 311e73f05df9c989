# Shared by the benchmark scripts (sourced): the build's program, a private
# X server on a display number it picks itself, a scratch folder, medians.
# Only the X server this starts is ever signalled.

# benchsetup TAG: checks $build, sets bin, dispnum and workdir, and removes
# the server and the scratch folder on exit.
benchsetup() {
  build=$(cd "$build" 2> /dev/null && pwd) || { echo "no build directory $build" >&2; exit 1; }
  bin="$build/vistrum"
  [ -x "$bin" ] || { echo "no binary at $bin (build first, or give -b)" >&2; exit 1; }
  command -v Xvfb > /dev/null || { echo "Xvfb not installed" >&2; exit 1; }
  fifo=$(mktemp -u "/tmp/$1.XXXXXX")
  mkfifo "$fifo"
  Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3> "$fifo" 2> /dev/null &
  xpid=$!
  workdir=$(mktemp -d "/tmp/$1.XXXXXX")
  trap 'kill "$xpid" 2> /dev/null; wait "$xpid" 2> /dev/null; rm -f "$fifo"; rm -rf "$workdir"' EXIT
  read -r -t 20 dispnum < "$fifo" || { echo "Xvfb did not start" >&2; exit 1; }
}

median() { sort -g | awk '{ v[NR] = $1 } END { if (NR % 2) print v[(NR + 1) / 2]; else printf "%.4f\n", (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }

machineline() {
  printf "machine: %s, %s cores\n" "$(sed -n 's/^model name[[:space:]]*: //p' /proc/cpuinfo | head -1)" "$(nproc)"
}
