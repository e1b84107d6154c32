#!/usr/bin/env bash
# Copies the screenshots the tests write (BUILD_DIR/screenshots) into
# docs/images, where the user guide shows them. Run after the tests:
#   scripts/update-guide-images.sh [BUILD_DIR]     (default: build)
# Only the pictures the guide names are copied; a missing one is named and the
# script fails, so a guide is never left with an old picture unnoticed.
set -euo pipefail
cd "$(dirname "$0")/.."
ROOT=$(pwd)
BUILD=${1:-build}
case "$BUILD" in /*) ;; *) BUILD="$ROOT/$BUILD" ;; esac
SHOTS="$BUILD/screenshots"

# The pictures the guide shows: every images/NAME.png it names.
mapfile -t IMAGES < <(grep -o 'images/[A-Za-z0-9_-]*\.png' docs/guide.md | sed 's|^images/||' | sort -u)
[ "${#IMAGES[@]}" -gt 0 ] || { echo "docs/guide.md names no images/*.png" >&2; exit 1; }

mkdir -p docs/images
missing=0
for name in "${IMAGES[@]}"; do
  if [ -f "$SHOTS/$name" ]; then
    cp "$SHOTS/$name" "docs/images/$name"
    echo "docs/images/$name"
  else
    echo "missing $SHOTS/$name (run the tests that write it first)" >&2
    missing=1
  fi
done
exit $missing
