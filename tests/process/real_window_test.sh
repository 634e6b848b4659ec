#!/bin/sh
# A whole installation through the default answers in the SDL2 window under
# Xvfb, with keys sent by xdotool. A headless run of the same package first
# saves a screenshot of each dialog; the window run waits until the X
# server's screen shows exactly that picture before it presses Return, so
# every dialog is compared with its headless screenshot. Skipped (77)
# without xvfb-run, xdotool or the screen comparer.
# Usage: real_window_test.sh SETUP_PROGRAM PACKER WORK_FOLDER X_SCREEN_MATCHES [--inside-xvfb]
set -eu
setup=$1
pack=$2
work=$3
matches=$4
screen=1024x768

# Sets up a fresh machine folder $work/machine-$1 and the disks: disk 2's
# volume back on its own disk.
fresh_run() {
  rm -rf "$work/machine-$1" "$work/disk1/Rembrix.002"
}

# The installed product's checks after run $1.
check_installed() {
  installed="$work/machine-$1/drive_c/Program Files/Rembrix"
  for file in Rembrix.Exe UnInstal.exe RbxCore.dll File_id.diz; do
    cmp -s "$work/product/$file" "$installed/$file" || {
      echo "$1: the installed $file differs from the product's" >&2
      exit 1
    }
  done
  tries=0
  while [ ! -f "$installed/Started.txt" ] && [ $tries -lt 50 ]; do
    sleep 0.1
    tries=$((tries + 1))
  done
  [ -f "$installed/Started.txt" ] || {
    echo "$1: the installed program was not started after Yes" >&2
    exit 1
  }
}

if [ "${5:-}" = "--inside-xvfb" ]; then
  fresh_run window
  (cd "$work/disk1" && REMBRIX_MACHINE=$work/machine-window REMBRIX_SCREEN=$screen \
    REMBRIX_FRONT_END=window exec ./rembrix-setup) >"$work/window.out" 2>&1 &
  program=$!
  # Waits for the screen of dialog $1, or stops the program and fails.
  await() {
    "$matches" "$work/$1.png" 30 || {
      kill $program 2>/dev/null
      echo "the window never showed the headless $1.png" >&2
      exit 1
    }
  }
  xdotool mousemove 1023 767
  await 1-destination
  xdotool key Return
  await 2-license
  xdotool key Return
  await 3-disk-prompt
  cp "$work/disk2/Rembrix.002" "$work/disk1/"
  xdotool key Return
  await 4-program-group
  xdotool key Return
  await 5-finished
  xdotool key Return
  status=0
  wait $program || status=$?
  [ $status -eq 0 ] || {
    echo "the setup program in the window ended with $status:" >&2
    cat "$work/window.out" >&2
    exit 1
  }
  check_installed window
  echo "The install in the window under Xvfb showed each headless screenshot's pixels."
  exit 0
fi

rm -rf "$work"
mkdir -p "$work/product" "$work/disk1" "$work/disk2" "$work/packed"
printf '#!/bin/sh\necho started > "$(dirname "$0")/Started.txt"\n' >"$work/product/Rembrix.Exe"
yes 'Uninstall Rembrix: remove the files and the entry.' | head -c 40000 >"$work/product/UnInstal.exe" || true
yes 'MOV EAX, [EBP+08]; CALL Rembrix_Window_Paint; RET 0x0004' | head -c 200000 \
  >"$work/product/RbxCore.dll" || true
printf 'Rembrix 1.0 - arrange pictures, layers and frames.\r\n' >"$work/product/File_id.diz"
"$pack" build --setup "$setup" --out "$work/packed" --volumes 2 "$work/product/Rembrix.Exe" \
  "$work/product/UnInstal.exe" "$work/product/RbxCore.dll" "$work/product/File_id.diz" >/dev/null
mv "$work/packed/$(basename "$setup")" "$work/disk1/rembrix-setup"
mv "$work/packed/Rembrix.001" "$work/disk1/"
mv "$work/packed/Rembrix.002" "$work/disk2/"
chmod +x "$work/disk1/rembrix-setup"

cat >"$work/user.script" <<SCRIPT
wait "Destination Directory"
screenshot "1-destination.png"
key enter
wait "License Agreement"
screenshot "2-license.png"
key enter
wait "Rembrix" timeout 60000
screenshot "3-disk-prompt.png"
copy "$work/disk2/Rembrix.002" "$work/disk1/Rembrix.002"
key enter
wait "Program Group" timeout 60000
screenshot "4-program-group.png"
key enter
wait "Rembrix" timeout 60000
screenshot "5-finished.png"
key enter
SCRIPT
fresh_run headless
(cd "$work/disk1" && REMBRIX_MACHINE=$work/machine-headless REMBRIX_SCREEN=$screen \
  REMBRIX_FRONT_END=headless REMBRIX_SCRIPT=$work/user.script REMBRIX_SCREENSHOTS=$work \
  ./rembrix-setup)
check_installed headless

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
xvfb-run -a -s "-screen 0 ${screen}x24" sh "$0" "$setup" "$pack" "$work" "$matches" --inside-xvfb
