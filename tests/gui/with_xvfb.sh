#!/usr/bin/env bash
# Runs a program with Qt's X11 platform on a private X server (Xvfb) of 1600 x 900 pixels, with
# no window manager; its exit status is the program's.
set -euo pipefail
for tool in xvfb-run Xvfb xdotool; do
  command -v "$tool" >/dev/null || { echo "FAIL: $tool is needed (scripts/setup-deps)"; exit 1; }
done
export QT_QPA_PLATFORM=xcb
exec xvfb-run -a -s "-screen 0 1600x900x24 -nolisten tcp" "$@"
