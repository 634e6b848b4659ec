#!/usr/bin/env bash
# The demo install, once built: makes the sample product, packs it on two
# "disks", starts a fresh demo machine and runs the setup program from the
# first disk. With a display the real window opens and you click through it;
# without one a scripted user accepts every default, inserts the second disk
# when asked and takes a screenshot of each dialog.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${REMBRIX_BUILD_DIR:-$root/build}
out=${REMBRIX_DEMO_DIR:-$root/out/demo}

rm -rf "$out"
mkdir -p "$out/product" "$out/packed" "$out/disk1" "$out/disk2" "$out/screenshots"

echo "== Making the sample product in $out/product"
"$build/demo/make_sample_files" "$out/product"
cp "$build/demo/sample_main_program" "$out/product/Rembrix.Exe"
cp "$build/demo/sample_uninstaller" "$out/product/UnInstal.exe"
printf '%s\n' Rembrix.Exe UnInstal.exe RbxCore.dll RbxView.dll RbxPaint.dll File_id.diz \
  Styles.LIB Rembrix.ran > "$out/product/Rembrix.lst"

echo "== Packing it into two volumes"
cp "$build/rembrix-setup" "$out/SETUP.EXE"
"$build/tools/rembrix-pack" build --setup "$out/SETUP.EXE" --out "$out/packed" --volumes 2 \
  "$out/product/Rembrix.Exe" \
  "$out/product/UnInstal.exe" "$out/product/RbxCore.dll" "$out/product/File_id.diz" \
  "$out/product/RbxView.dll" "$out/product/Rembrix.hlp" "$out/product/Tutorial.hlp" \
  "$out/product/RbxPaint.dll" "$out/product/Styles.LIB" "$out/product/Rembrix.lst"
mv "$out/packed/SETUP.EXE" "$out/packed/Rembrix.001" "$out/disk1/"
mv "$out/packed/Rembrix.002" "$out/disk2/"
chmod +x "$out/disk1/SETUP.EXE"
"$build/tools/rembrix-pack" list "$out/disk1/SETUP.EXE"

export REMBRIX_MACHINE="$out/machine"
export REMBRIX_SCREENSHOTS="$out/screenshots"
rm -rf "$REMBRIX_MACHINE"

front_end=${REMBRIX_FRONT_END:-auto}
if [ "$front_end" = auto ]; then
  if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then front_end=window; else front_end=headless; fi
fi
export REMBRIX_FRONT_END=$front_end

if [ "$front_end" = headless ]; then
  script="$out/demo-user.script"
  cat > "$script" <<SCRIPT
# The demo's user: accepts every default and inserts the second disk when asked.
wait "Destination Directory"
screenshot "1-destination.png"
key enter
wait "License Agreement"
screenshot "2-license.png"
key enter
wait "Rembrix" timeout 60000
screenshot "3-disk-prompt.png"
copy "$out/disk2/Rembrix.002" "$out/disk1/Rembrix.002"
click "OK"
wait "Program Group" timeout 120000
screenshot "4-program-group.png"
key enter
wait "Rembrix" timeout 60000
screenshot "5-finished.png"
click "Yes"
SCRIPT
  export REMBRIX_SCRIPT="$script"
  echo "== Running the setup program headless, with a scripted user"
else
  unset REMBRIX_SCRIPT
  echo "== Running the setup program in a window. When it asks for disk 2, run:"
  echo "   cp '$out/disk2/Rembrix.002' '$out/disk1/'   and then press OK."
fi

status=0
( cd "$out/disk1" && ./SETUP.EXE ) || status=$?
echo "== The setup program ended with exit code $status"
sleep 1

drive_c="$REMBRIX_MACHINE/drive_c"
echo
echo "== What the installation left on the demo machine ($drive_c)"
echo "-- Installed files (C:\\Program Files\\Rembrix):"
ls -l "$drive_c/Program Files/Rembrix" 2>/dev/null | tail -n +2 || echo "   (none)"
echo "-- Help files (C:\\WINDOWS\\HELP):"
ls -l "$drive_c/WINDOWS/HELP" 2>/dev/null | tail -n +2 || echo "   (none)"
echo "-- Uninstall entry (registry):"
grep -i -A3 'uninstall\\Rembrix\]' "$REMBRIX_MACHINE/registry.reg" || echo "   (none)"
echo "-- Shortcut:"
found_link=0
while IFS= read -r -d '' link; do
  found_link=1
  echo "   $link"
  if command -v lnkinfo >/dev/null; then
    lnkinfo "$link" | grep -iE 'local path|working directory' | sed 's/^/     /'
  fi
  # The show command is the header's 32-bit field at offset 0x3C.
  echo "     Show command			: $(od -An -t u4 -j 60 -N 4 "$link" | tr -d ' ')"
done < <(find "$drive_c" -iname '*.lnk' -print0)
[ $found_link = 1 ] || echo "   (none)"
if [ -f "$drive_c/Program Files/Rembrix/Rembrix.ran" ]; then
  echo "-- The installed program ran:"
  sed 's/^/   /' "$drive_c/Program Files/Rembrix/Rembrix.ran"
fi
echo "-- Screenshots:"
ls "$out/screenshots"/*.png 2>/dev/null | sed 's/^/   /' || echo "   (none)"
exit $status
