#!/usr/bin/env bash
# The pictures of the user's guide, taken from the running program so that
# they stay true:
#   docs/guide/images/program-data-dialog.png  the dialog on examples/sample.loxa
#   docs/guide/images/handler-menu.png         the handler menu with one plug-in
#
#   bash scripts/screenshots.sh
#
# Builds what it needs (win64), and runs loxa.exe under Wine on a virtual
# display of its own, in a fresh Wine prefix (build/screenshots/wineprefix)
# that tests/wine/run-in-wine.sh boots with the font the dialog asks for.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

if ! command -v x86_64-w64-mingw32-g++ >/dev/null || ! command -v import >/dev/null; then
  bash scripts/setup.sh
fi
cmake --preset win64 >/dev/null
cmake --build --preset win64 -j 2 --target loxa dialog_driver ical >/dev/null
bin=$root/build/win64/bin
images=$root/docs/guide/images
mkdir -p "$images"

export LOXA_WINEPREFIX=$root/build/screenshots/wineprefix
wineserver=/usr/lib/wine/wineserver64
WINEPREFIX=$LOXA_WINEPREFIX "$wineserver" -k 2>/dev/null || true
rm -rf "$LOXA_WINEPREFIX" "$LOXA_WINEPREFIX.lock"
mkdir -p "$(dirname "$LOXA_WINEPREFIX")"

# Always a virtual display: a picture of the user's own screen could hold
# whatever else is on it.
source scripts/virtual-display.sh
unset DISPLAY
start_virtual_display
cleanup() {
  WINEPREFIX=$LOXA_WINEPREFIX "$wineserver" -k 2>/dev/null || true
  stop_virtual_display
}
trap cleanup EXIT

windows_path() { echo "Z:${1//\//\\}"; }
run() { tests/wine/run-in-wine.sh "$@"; }
document=$(windows_path "$root/examples/sample.loxa")

# Takes the screen rectangle WxH+X+Y; no time stamps in the file, so that an
# unchanged picture gives an unchanged file.
shoot() {
  sleep 0.5 # let the window paint first
  import -window root -crop "$1" +repage -strip "$2"
  echo "wrote ${2#"$root"/}"
}

# 1. The program data dialog, with no plug-in listed.
run "$bin/loxa.exe" "$document" &
loxa_pid=$!
rect=$(run "$bin/dialog_driver.exe" wait 30000 | tr -d '\r')
shoot "$rect" "$images/program-data-dialog.png"
run "$bin/dialog_driver.exe" cancel 5000 >/dev/null
wait "$loxa_pid"

# 2. The handler menu, with the calendar plug-in listed as a user would list
# it. Its label is not ASCII, so it goes in through a UTF-16 .reg file.
reg=$LOXA_WINEPREFIX/drive_c/plugin.reg
ical_path=$(windows_path "$bin/ical.dll")
{
  printf '\xff\xfe'
  printf '%s\r\n' 'Windows Registry Editor Version 5.00' '' \
    '[HKEY_CURRENT_USER\SOFTWARE\Loxa\カレンダーに追加]' \
    "@=\"${ical_path//\\/\\\\}\"" |
    iconv -f UTF-8 -t UTF-16LE
} >"$reg"
run regedit /S 'C:\plugin.reg'
rm -f "$reg"

run "$bin/loxa.exe" "$document" &
loxa_pid=$!
rect=$(run "$bin/dialog_driver.exe" menu 30000 | tr -d '\r')
shoot "$rect" "$images/handler-menu.png"
run "$bin/dialog_driver.exe" dismiss-menu 5000 >/dev/null
wait "$loxa_pid"
