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

# benchargs SPEC DUR USAGE "$@": the options the scripts share (-c CPU
# time, -d seconds per run, -r repeats, -b build directory; SPEC says which
# a script takes, DUR is its default run length), then the types asked for
# in `types`. Needs src.
benchargs() {
  local spec=$1 usage=$3 o OPTIND=1
  dur=$2 reps=3 build="$src/build" cpu=0
  shift 3
  while getopts "$spec" o; do
    case $o in
      c) cpu=1 ;;
      d) dur=$OPTARG ;;
      r) reps=$OPTARG ;;
      b) build=$OPTARG ;;
      *) echo "usage: $0 $usage" >&2; exit 2 ;;
    esac
  done
  shift $((OPTIND - 1))
  types=("$@")
}

median() { sort -g | awk '{ v[NR] = $1 } END { if (NR % 2) print v[(NR + 1) / 2]; else printf "%.4f\n", (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }
# What a floor run adds over its empty run, never below 0 (ms).
addedms() { awk -v a="$1" -v b="$2" 'BEGIN { d = a - b; printf "%.4f", (d > 0 ? d : 0) }'; }
# A type's frame over the empty frame plus its floor's own cost.
floorratio() { awk -v m="$1" -v e="$2" -v f="$3" 'BEGIN { printf "%.3f", m / (e + f) }'; }

machineline() {
  printf "machine: %s, %s cores\n" "$(sed -n 's/^model name[[:space:]]*: //p' /proc/cpuinfo | head -1)" "$(nproc)"
}

# One run of a type for $2 seconds, with the environment assignments that
# follow: "frames mean-ms max-ms cpu-seconds", from the program's own timing
# line and bash's clock of the child. Needs bin, dispnum, workdir, src.
run1() {
  local out TIMEFORMAT="cputime %U %S"
  local args=(-s "$1" -winxy 1024 768)
  local envs=("${@:3}")
  # 89 is the 120 Hz mode of type 48: its doubled window has the empty
  # frame's pixels, and each frame waits half a frame between its halves.
  [ "$1" = 89 ] && args=(-s 48 -doubleframerate -winxy 512 768)
  # 32 needs four backgrounds and 52 objects, more than the test set holds.
  [ "$1" = 32 ] && args+=(-tiffdir scenes)
  out=$( { time (cd "$workdir" && env "${envs[@]}" DISPLAY=":$dispnum" LIBGL_ALWAYS_SOFTWARE=1 vblank_mode=0 VISTRUM_DIR="$src" \
        timeout $((${2%.*} + 60)) "$bin" "${args[@]}" -exptend "$2" < /dev/null); } 2>&1)
  local f
  f=$(sed -n 's/^vistrum: frames: \([0-9]*\), mean interval \([0-9.]*\) ms, max \([0-9.]*\) ms.*/\1 \2 \3/p' <<< "$out" | tail -1)
  [ -n "$f" ] || return 0
  echo "$f $(sed -n 's/^cputime \([0-9.]*\) \([0-9.]*\)$/\1 \2/p' <<< "$out" | awk '{ print $1 + $2 }')"
}

