#!/usr/bin/env bash
# A whole headless installation timed against its parts: packs a product
# whose bundle is about 3.1 MB into two volumes, then times
#   install  the real setup program on a fresh machine, the scripted user
#            accepting every proposal and inserting disk 2 when asked;
#   decode   the bare decoder on the same archive (rembrix-pack extract);
#   copy     copying the unpacked files with cp;
# each several times, and prints the median wall time and the peak resident
# set size that /usr/bin/time -v reports.
#
# Usage: bench/whole_install.sh [BUILD_DIR] [RUNS]   (default: build/, 5 runs)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-${REMBRIX_BUILD_DIR:-$root/build}}
runs=${2:-5}
setup="$build/rembrix-setup"
pack="$build/tools/rembrix-pack"
for program in "$setup" "$pack"; do
  if [ ! -x "$program" ]; then
    echo "missing $program: build the targets rembrix-setup and rembrix-pack first" >&2
    exit 1
  fi
done
if [ ! -x /usr/bin/time ]; then
  echo "missing /usr/bin/time: run scripts/install-deps.sh" >&2
  exit 1
fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
product="$work/product"
mkdir -p "$product" "$work/disk1" "$work/disk2"

# $1 repeated up to $2 bytes (yes ends on the broken pipe; that is expected).
repeat() {
  yes "$1" | head -c "$2" || true
}
# $1 bytes shaped like code: hex dumps of random bytes with repeated
# instruction text between them, so they compress about as programs do.
code_like() {
  local size=$1
  {
    head -c $((size / 6)) /dev/urandom | od -An -tx1 -v
    repeat 'MOV EAX, [EBP+08]; PUSH EAX; CALL Rembrix_Window_Paint; RET 0x0004' $((size / 2))
  } | head -c "$size"
}

# The product: about 3.1 MB in all, the sizes in the proportions of a small
# program of its time.
code_like 620000 >"$product/Rembrix.Exe"
code_like 98000 >"$product/UnInstal.exe"
code_like 905000 >"$product/RbxCore.dll"
code_like 521000 >"$product/RbxView.dll"
code_like 359000 >"$product/RbxPaint.dll"
repeat 'Rembrix Help: select a frame, choose a layer and press F1 to show its properties.' \
  280000 >"$product/Rembrix.hlp"
repeat 'Tutorial: arrange pictures, layers and frames step by step.' 150000 >"$product/Tutorial.hlp"
head -c 168000 /dev/urandom >"$product/Styles.LIB"
printf 'Rembrix 1.0 - arrange pictures, layers and frames.\r\n' >"$product/File_id.diz"
files=(Rembrix.Exe UnInstal.exe RbxCore.dll RbxView.dll RbxPaint.dll Rembrix.hlp Tutorial.hlp
  Styles.LIB File_id.diz)

"$pack" build --setup "$setup" --out "$work/packed" --volumes 2 "${files[@]/#/$product/}" >/dev/null
mv "$work/packed/rembrix-setup" "$work/packed/Rembrix.001" "$work/disk1/"
mv "$work/packed/Rembrix.002" "$work/disk2/"
bundle=$(cat "${files[@]/#/$product/}" | wc -c)
volumes=$(cat "$work/disk1/Rembrix.001" "$work/disk2/Rembrix.002" | wc -c)

cat >"$work/user.script" <<SCRIPT
wait "Destination Directory"
key enter
wait "License Agreement"
key enter
wait "Rembrix" timeout 60000
copy "$work/disk2/Rembrix.002" "$work/disk1/Rembrix.002"
click "OK"
wait "Program Group" timeout 600000
key enter
wait "Rembrix" timeout 60000
click "No"
SCRIPT

# Runs "$@" under /usr/bin/time -v; appends "seconds peak-KiB" to $record.
measure() {
  local report="$work/time.txt" start end
  start=$(date +%s.%N)
  if ! /usr/bin/time -v "$@" >/dev/null 2>"$report"; then
    echo "failed: $*" >&2
    cat "$report" >&2
    exit 1
  fi
  end=$(date +%s.%N)
  echo "$start $end $(sed -n 's/.*Maximum resident set size (kbytes): //p' "$report")" |
    awk '{ printf "%.4f %s\n", $2 - $1, $3 }' >>"$record"
}

install_once() {
  rm -rf "$work/machine" "$work/disk1/Rembrix.002"
  (cd "$work/disk1" && REMBRIX_MACHINE="$work/machine" REMBRIX_FRONT_END=headless \
    REMBRIX_SCRIPT="$work/user.script" measure ./rembrix-setup)
  local installed="$work/machine/drive_c/Program Files/Rembrix" file
  for file in "${files[@]}"; do
    case $file in
      *.hlp) cmp -s "$product/$file" "$work/machine/drive_c/WINDOWS/HELP/$file" ;;
      *) cmp -s "$product/$file" "$installed/$file" ;;
    esac || { echo "the installed $file differs from the product's" >&2; exit 1; }
  done
}

decode_once() {
  rm -rf "$work/extracted"
  cp "$work/disk2/Rembrix.002" "$work/disk1/"
  measure "$pack" extract "$work/disk1/rembrix-setup" "$work/extracted"
  cmp -s "$product/RbxCore.dll" "$work/extracted/RbxCore.dll" ||
    { echo "the decoded RbxCore.dll differs from the product's" >&2; exit 1; }
}

copy_once() {
  rm -rf "$work/copied"
  mkdir -p "$work/copied"
  measure cp "${files[@]/#/$product/}" "$work/copied/"
}

# The median seconds and the highest peak of $record's lines.
summary() {
  sort -n "$record" | awk '{ t[NR] = $1; if ($2 > peak) peak = $2 }
    END { printf "%10.3f %16d\n", (NR % 2 ? t[(NR + 1) / 2] : (t[NR / 2] + t[NR / 2 + 1]) / 2), peak }'
}

echo "bundle: $bundle bytes in ${#files[@]} files; two volumes: $volumes bytes; $runs runs each"
printf '%-8s %10s %16s\n' what "median s" "peak RSS (KiB)"
for what in install decode copy; do
  record="$work/$what.times"
  : >"$record"
  for ((run = 0; run < runs; run++)); do
    "${what}_once"
  done
  printf '%-8s %s\n' "$what" "$(summary)"
done
