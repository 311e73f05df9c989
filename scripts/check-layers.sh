#!/usr/bin/env bash
# Keeps the source folders in their layers. Each folder of src/ may include
# only the folders listed for it below; any other project include is
# printed as file:line and the script exits 1 (the test suite runs it).
#
#   base        core, config, devices, eventstable: the run, its options, the
#               output hardware, the log reader; they know no stimulus
#   draw        the drawing blocks every family shares
#   families    retino, dots, images, text, somato, scenario: never each other
#   composites  types made of several families' layers
#   stimuli     the catalogue: rows, start-up hooks, drawing state
#   report      the run report, over the log reader
#
#   scripts/check-layers.sh [source-dir]     (default: src/ beside this script)
set -euo pipefail
src=${1:-"$(dirname "$0")/../src"}

base="core config devices eventstable"
families="retino dots images text somato scenario"

allowed() {
  case $1 in
    core | config | devices | eventstable) echo "$base" ;;
    draw) echo "$base draw" ;;
    retino | dots | images | text | somato | scenario) echo "$base draw $1" ;;
    composites) echo "$base draw $families composites" ;;
    stimuli) echo "$base draw $families composites stimuli" ;;
    report) echo "$base report" ;;
    *) echo "" ;;
  esac
}

bad=0
for dir in "$src"/*/; do
  folder=$(basename "$dir")
  ok=$(allowed "$folder")
  if [ -z "$ok" ]; then
    echo "$dir: folder with no layer (add it to scripts/check-layers.sh)"
    bad=1
    continue
  fi
  while IFS= read -r hit; do
    [ -n "$hit" ] || continue
    file=${hit%%:*}
    rest=${hit#*:}
    line=${rest%%:*}
    target=$(sed -n 's/^[[:space:]]*#[[:space:]]*include[[:space:]]*"\([^/"]*\)\/.*/\1/p' <<<"${rest#*:}")
    [ -n "$target" ] || continue
    if ! grep -qw -- "$target" <<<"$ok"; then
      echo "${file#"$src"/}:$line: includes $target/ (folder $folder may include: $ok)"
      bad=1
    fi
  done < <(grep -rn --include='*.h' --include='*.cpp' '^[[:space:]]*#[[:space:]]*include[[:space:]]*"' "$dir" || true)
done
if [ "$bad" -ne 0 ]; then
  echo "check-layers: includes across the layers (see the README's Layout)"
  exit 1
fi
echo "check-layers: every include keeps to its layer"
