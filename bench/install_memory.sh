#!/usr/bin/env bash
# Peak memory of whole installations: packs a product of about 3 MB and one of
# about 100 MB with rembrix-pack, installs each with the real setup program on
# a fresh headless machine (the scripted user accepts every proposal), and
# prints the package size, the wall time and the peak resident set size that
# /usr/bin/time -v reports. Memory must not grow with the package: the
# installer streams every file in 2048-byte blocks.
#
# Usage: bench/install_memory.sh [BUILD_DIR]   (default: build/)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-${REMBRIX_BUILD_DIR:-$root/build}}
setup="$build/rembrix-setup"
pack="$build/tools/rembrix-pack"
[ -x "$pack" ] || pack="$build/rembrix-pack"
for program in "$setup" "$pack" /usr/bin/time; do
  if [ ! -x "$program" ]; then
    echo "missing $program: build the targets rembrix-setup and rembrix-pack first" >&2
    exit 1
  fi
done

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# A product of about $1 bytes: a main program, program-like libraries, help
# text and incompressible data.
make_product() {
  local size=$1 folder=$2
  mkdir -p "$folder"
  repeat 'MOV EAX, [EBP+08]; CALL Rembrix_Window_Paint; RET 0x0004 ' $((size / 10)) >"$folder/Rembrix.Exe"
  repeat 'int Rembrix::Engine::Install(const char* file, long offset) { return offset; }' \
    $((size * 4 / 10)) >"$folder/Engine.dll"
  repeat 'Rembrix Help: press F1 in any window to read about the tools of the program.' \
    $((size * 3 / 10)) >"$folder/Rembrix.hlp"
  head -c $((size * 2 / 10)) /dev/urandom >"$folder/Images.dat"
}

# $1 repeated up to $2 bytes (yes ends on the broken pipe; that is expected).
repeat() {
  yes "$1" | head -c "$2" || true
}

cat >"$work/user.script" <<'SCRIPT'
wait "Destination Directory"
key enter
wait "License Agreement"
key enter
wait "Program Group" timeout 600000
key enter
wait "Rembrix"
click "No"
SCRIPT

printf '%-10s %14s %10s %16s\n' product "volume bytes" "seconds" "peak RSS (KiB)"
for size in 3000000 100000000; do
  product="$work/product-$size"
  disk="$work/disk-$size"
  make_product "$size" "$product"
  "$pack" build --setup "$setup" --out "$disk" --volumes 2 \
    "$product/Rembrix.Exe" "$product/Engine.dll" "$product/Rembrix.hlp" "$product/Images.dat" \
    >/dev/null 2>&1
  package_bytes=$(cat "$disk"/Rembrix.0* | wc -c)
  start=$(date +%s.%N)
  REMBRIX_MACHINE="$work/machine-$size" REMBRIX_FRONT_END=headless \
    REMBRIX_SCRIPT="$work/user.script" \
    /usr/bin/time -v "$disk/rembrix-setup" 2>"$work/time-$size.txt" || {
      echo "the installation of the $size-byte product failed:" >&2
      cat "$work/time-$size.txt" >&2
      exit 1
    }
  end=$(date +%s.%N)
  peak=$(sed -n 's/.*Maximum resident set size (kbytes): //p' "$work/time-$size.txt")
  installed="$work/machine-$size/drive_c/Program Files/Rembrix"
  if ! cmp -s "$installed/Images.dat" "$product/Images.dat"; then
    echo "the installed files of the $size-byte product differ" >&2
    exit 1
  fi
  printf '%-10s %14s %10.2f %16s\n' "$((size / 1000000)) MB" "$package_bytes" \
    "$(echo "$end - $start" | bc)" "$peak"
done
