#!/usr/bin/env bash
# Loxa's main job on a sample document: builds what is missing, starts the
# reference reminder receiver, opens the document in loxa.exe (under Wine
# where the host is not Windows) and prints the chip the receiver decoded.
#
#   bash scripts/run-sample.sh [document]      (default: examples/sample.loxa)
#
# With a display you press "登録" yourself. Without one, the script runs on a
# virtual display, saves a screenshot of the dialog as
# build/program-data-dialog.png and presses "登録" through the UI driver.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

document=$(cd "$(dirname "${1:-examples/sample.loxa}")" && pwd)/$(basename "${1:-examples/sample.loxa}")
[ -f "$document" ] || { echo "no such document: $document" >&2; exit 1; }

case "$(uname -s)" in
  MINGW* | MSYS* | CYGWIN*) on_windows=1 ;;
  *) on_windows=0 ;;
esac

# Build what is missing (an up-to-date build does nothing).
if [ "$on_windows" = 0 ] && ! command -v x86_64-w64-mingw32-g++ >/dev/null; then
  bash scripts/setup.sh
fi
cmake --preset win64 >/dev/null
cmake --build --preset win64 -j 2 --target loxa reminder_receiver dialog_driver >/dev/null
bin=$root/build/win64/bin

windows_path() {
  if [ "$on_windows" = 1 ]; then cygpath -w "$1"; else echo "Z:${1//\//\\}"; fi
}
run() {
  if [ "$on_windows" = 1 ]; then "$@"; else tests/wine/run-in-wine.sh "$@"; fi
}

source scripts/virtual-display.sh
unattended=0
if [ "$on_windows" = 0 ] && [ -z "${DISPLAY:-}" ]; then
  start_virtual_display
  unattended=1
fi
receiver_pid=
cleanup() {
  if [ -n "$receiver_pid" ] && kill -0 "$receiver_pid" 2>/dev/null; then
    kill "$receiver_pid" 2>/dev/null || true
  fi
  if [ "$unattended" = 1 ]; then
    WINEPREFIX=$root/build/win64/wineprefix /usr/lib/wine/wineserver64 -k 2>/dev/null || true
    stop_virtual_display
  fi
}
trap cleanup EXIT

out=$root/build/run-sample
rm -rf "$out"
mkdir -p "$out"

echo "Starting the reminder receiver (service Zuri, topic ZuriServer)..."
run "$bin/reminder_receiver.exe" --out "$(windows_path "$out")" --count 1 --exit-after 300000 \
  >"$out/receiver.log" 2>&1 &
receiver_pid=$!
for _ in $(seq 600); do
  [ -e "$out/ready" ] && break
  kill -0 "$receiver_pid" 2>/dev/null || { cat "$out/receiver.log" >&2; exit 1; }
  sleep 0.1
done
[ -e "$out/ready" ] || { echo "the receiver did not start" >&2; exit 1; }

echo "Opening $document in loxa.exe..."
run "$bin/loxa.exe" "$(windows_path "$document")" &
loxa_pid=$!

if [ "$unattended" = 1 ]; then
  rect=$(run "$bin/dialog_driver.exe" wait 30000 | tr -d '\r')
  sleep 0.5  # let the dialog paint before the picture is taken
  if command -v import >/dev/null; then
    import -window root -crop "$rect" +repage "$root/build/program-data-dialog.png" &&
      echo "Screenshot of the dialog: build/program-data-dialog.png"
  fi
  echo "Pressing 登録 through the UI driver..."
  run "$bin/dialog_driver.exe" register 5000
else
  echo "Check the 番組データ dialog and press 登録 (or ｷｬﾝｾﾙ)."
fi
wait "$loxa_pid" || true

# The receiver ends after its first chip; give it a moment to write it.
for _ in $(seq 30); do
  [ -e "$out/chip-1.txt" ] && break
  sleep 0.1
done
if [ -e "$out/chip-1.txt" ]; then
  echo "The receiver decoded:"
  iconv -f CP932 -t UTF-8 "$out/chip-1.txt"
  echo
else
  echo "No chip was received."
  exit 1
fi
