#!/usr/bin/env bash
# Shows that the program data dialog scales with the screen: under Wine at
# 96 DPI and then at 144 DPI (150 %), the dialog must come out 1.5 times as
# large (within 5 %) and every label must fit its room. Writes both pictures
# to build/dpi/ for a look:
#
#   bash scripts/dpi-check.sh
#
# Runs in a fresh Wine prefix of its own (build/dpi/wineprefix) on a virtual
# display of its own, as scripts/screenshots.sh does. Exit 0 when the dialog
# scaled and no label is clipped.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

cmake --preset win64 >/dev/null
cmake --build --preset win64 -j 2 --target loxa dialog_driver >/dev/null
bin=$root/build/win64/bin
out=$root/build/dpi
mkdir -p "$out"

export LOXA_WINEPREFIX=$out/wineprefix
wineserver=/usr/lib/wine/wineserver64
WINEPREFIX=$LOXA_WINEPREFIX "$wineserver" -k 2>/dev/null || true
rm -rf "$LOXA_WINEPREFIX" "$LOXA_WINEPREFIX.lock"

# shellcheck source=scripts/virtual-display.sh
source scripts/virtual-display.sh
unset DISPLAY
start_virtual_display
# shellcheck disable=SC2317 # run by the trap
cleanup() {
  WINEPREFIX=$LOXA_WINEPREFIX "$wineserver" -k 2>/dev/null || true
  stop_virtual_display
}
trap cleanup EXIT

run() { tests/wine/run-in-wine.sh "$@"; }
# The first run boots the prefix (the driver only prints its usage here).
run "$bin/dialog_driver.exe" usage >/dev/null 2>&1 || true
set_dpi() {
  WINEPREFIX=$LOXA_WINEPREFIX LANG=ja_JP.UTF-8 WINEDEBUG=-all \
    setarch "$(uname -m)" -R /usr/lib/wine/wine64 reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$1" /f >/dev/null 2>&1
}
document="Z:${root//\//\\}\\examples\\sample.loxa"

# Opens the dialog at `dpi`, prints its WxH, checks its labels, saves a picture.
measure() {
  local dpi=$1 rect status=0
  # Read by each new process at its start.
  set_dpi "$dpi"
  run "$bin/loxa.exe" "$document" &
  local loxa_pid=$!
  rect=$(run "$bin/dialog_driver.exe" wait 30000 | tr -d '\r')
  sleep 0.5 # let the window paint first
  import -window root -crop "$rect" +repage -strip "$out/program-data-dialog-$dpi.png"
  run "$bin/dialog_driver.exe" labels 5000 | tr -d '\r' | iconv -f CP932 -t UTF-8 >"$out/labels-$dpi.txt" || status=1
  run "$bin/dialog_driver.exe" cancel 5000 >/dev/null
  wait "$loxa_pid" || true
  echo "${rect%%+*}"
  return $status
}

status=0
small=$(measure 96) || status=1
large=$(measure 144) || status=1
cat "$out/labels-144.txt"
echo "96 DPI: $small  144 DPI: $large"
# Integer arithmetic: the ratio in per cent, 142 to 158 passes.
for pair in "${small%x*} ${large%x*} width" "${small#*x} ${large#*x} height"; do
  read -r a b what <<<"$pair"
  ratio=$((b * 100 / a))
  echo "$what x$((ratio / 100)).$(printf '%02d' $((ratio % 100)))"
  if [ "$ratio" -lt 142 ] || [ "$ratio" -gt 158 ]; then
    status=1
  fi
done
[ "$status" = 0 ] && echo "dpi-check: the dialog scales and no label is clipped" \
  || echo "dpi-check: FAILED" >&2
exit "$status"
