#!/bin/sh
# Runs the sample dialog headless under a script that saves the screen before
# and after typing, then in the SDL2 window under Xvfb, typing with xdotool,
# and checks that the X server shows the same pixels at both moments.
# Usage: sample_dialog_run.sh SAMPLE_PROGRAM WORK_FOLDER X_SCREEN_MATCHES [--inside-xvfb]
set -eu
sample=$1
work=$2
matches=$3

png_size() { # the width and height in a PNG's header, as hex bytes
  od -An -tx1 -j16 -N8 "$1" | tr -d ' \n'
}

if [ "${4:-}" = "--inside-xvfb" ]; then
  REMBRIX_MACHINE=$work/machine-window REMBRIX_SCREEN=640x480 REMBRIX_FRONT_END=window \
    "$sample" >"$work/window.out" 2>&1 &
  program=$!
  "$matches" "$work/before.png" 20 || { kill $program; exit 1; }
  xdotool mousemove 639 479
  xdotool type --delay 30 'C:\Rembrix'
  "$matches" "$work/after.png" 20 || { kill $program; exit 1; }
  xdotool key Escape
  wait $program || { echo "The sample program failed:" >&2; cat "$work/window.out" >&2; exit 1; }
  grep -q "ended with 2" "$work/window.out" || { cat "$work/window.out" >&2; exit 1; }
  echo "The window under Xvfb showed the headless screenshots' pixels."
  exit 0
fi

rm -rf "$work"
mkdir -p "$work"
cat >"$work/script.txt" <<'SCRIPT'
wait "Sample" timeout 20000
screenshot "before.png"
type "C:\\Rembrix"
screenshot "after.png"
key escape
SCRIPT
REMBRIX_MACHINE=$work/machine-headless REMBRIX_SCREEN=640x480 REMBRIX_FRONT_END=headless \
  REMBRIX_SCRIPT=$work/script.txt REMBRIX_SCREENSHOTS=$work "$sample" >"$work/headless.out"
grep -q "ended with 2" "$work/headless.out"
for shot in before after; do
  [ "$(png_size "$work/$shot.png")" = "00000280000001e0" ] || {
    echo "$shot.png is not a 640x480 PNG" >&2
    exit 1
  }
done
if cmp -s "$work/before.png" "$work/after.png"; then
  echo "typing did not change the screen" >&2
  exit 1
fi

for tool in xvfb-run xdotool; do
  if ! command -v $tool >/dev/null 2>&1; then
    echo "$tool is not installed: the window run is skipped"
    exit 77
  fi
done
if [ -z "$matches" ]; then
  echo "x_screen_matches was not built (no X11 development files): the window run is skipped"
  exit 77
fi
xvfb-run -a -s "-screen 0 640x480x24" sh "$0" "$sample" "$work" "$matches" --inside-xvfb
