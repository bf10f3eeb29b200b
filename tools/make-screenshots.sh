#!/usr/bin/env bash
# Takes the pictures of the program's windows (docs/images/) under a virtual X display, for the
# manual and the README. Run again whenever a window changes: make screenshots.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD:-$top/build}
mkdir -p "$top/docs/images"
xvfb-run -a -s "-screen 0 1024x768x24 -dpi 96" env QT_QPA_PLATFORM=xcb \
    "$build/tools/screenshots/make_screenshots" "$top/docs/images"
ls -l "$top/docs/images"
