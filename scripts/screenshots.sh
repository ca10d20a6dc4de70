#!/usr/bin/env bash
# The pictures of the user's guide, taken from the running program so that
# they stay true:
#   docs/guide/images/program-data-dialog.png  the dialog on examples/sample.loxa
#   docs/guide/images/handler-menu.png         the handler menu with one plug-in
#   docs/guide/images/reminder-notice.png      loxa-reminder.exe's reminder window
#   docs/guide/images/reminder-list.png        loxa-reminder.exe's list
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
cmake --build --preset win64 -j 2 --target loxa dialog_driver ical loxa-reminder >/dev/null
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
# Wine's own tools, which run-in-wine.sh (it wants a program's path) cannot start.
wine_tool() { WINEPREFIX=$LOXA_WINEPREFIX LANG=ja_JP.UTF-8 /usr/lib/wine/wine64 "$@"; }
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
wine_tool regedit /S 'C:\plugin.reg'
rm -f "$reg"

run "$bin/loxa.exe" "$document" &
loxa_pid=$!
rect=$(run "$bin/dialog_driver.exe" menu 30000 | tr -d '\r')
shoot "$rect" "$images/handler-menu.png"
run "$bin/dialog_driver.exe" dismiss-menu 5000 >/dev/null
wait "$loxa_pid"

# 3. loxa-reminder.exe: a reminder window and the list, from programs
# registered through the dialog as a user registers them. The reminder reads
# its clock from a file here, so the reminder comes due at once.
wine_tool reg delete 'HKCU\SOFTWARE\Loxa' /f >/dev/null 2>&1 || true # the dialog, not the menu
export LOXA_REMINDER_CLOCK_FILE='C:\reminder-clock.txt'
clock=$LOXA_WINEPREFIX/drive_c/reminder-clock.txt
set_clock() { printf '%s' "$1" >"$clock"; }
now=$(date '+%Y-%m-%d %H:%M')
set_clock "$now:00"
run "$bin/loxa-reminder.exe" &
reminder_pid=$!
# Three programs: the sample and two more, with the line ends documents have.
second=$LOXA_WINEPREFIX/drive_c/second.loxa
third=$LOXA_WINEPREFIX/drive_c/third.loxa
sed 's/$/\r/' <<'DOCUMENT' | iconv -f UTF-8 -t CP932 >"$second"
Content-type: application/x-tv-program-info; charset=shift_jis
version: 1
station: ＮＨＫ総合
year: 2027
month: 3
date: 1
start: 19:30
end: 20:00
program-title: クローズアップ現代

暮らしと社会の今を伝えます。
DOCUMENT
sed 's/$/\r/' <<'DOCUMENT' | iconv -f UTF-8 -t CP932 >"$third"
Content-type: application/x-tv-program-info; charset=shift_jis
version: 1
station: ＮＨＫ総合
year: 2027
month: 3
date: 2
start: 21:00
end: 21:50
program-title: 世界ふれあい街歩き

ヨーロッパの港町を歩きます。
DOCUMENT
notify=
for file in "$document" 'C:\second.loxa' 'C:\third.loxa'; do
  run "$bin/loxa.exe" "$file" &
  loxa_pid=$!
  run "$bin/dialog_driver.exe" wait 30000 >/dev/null
  # The first one's notification time (the start less the lead minutes).
  if [ -z "$notify" ]; then
    lead=$(run "$bin/dialog_driver.exe" show | tr -d '\r' | sed -n 's/.* lead \([0-9]*\) .*/\1/p')
    notify=$(date -d "2027-03-01 00:03 $lead minutes ago" '+%m-%d %H:%M')
  fi
  run "$bin/dialog_driver.exe" register 5000 >/dev/null
  wait "$loxa_pid"
done

# Due on the first day on or after today with that month and day.
year=$(date +%Y)
[[ "$year-$notify" < "$(date +%Y-%m-%d)" ]] && year=$((year + 1))
run "$bin/dialog_driver.exe" close-reminder 10000 >/dev/null
wait "$reminder_pid"
set_clock "$year-$notify:00"
run "$bin/loxa-reminder.exe" &
reminder_pid=$!
rect=$(run "$bin/dialog_driver.exe" reminder 30000 | tr -d '\r')
shoot "$rect" "$images/reminder-notice.png"
run "$bin/dialog_driver.exe" dismiss-reminder 5000 >/dev/null

# A second start brings the first one's list forward.
run "$bin/loxa-reminder.exe"
rect=$(run "$bin/dialog_driver.exe" reminder-list 30000 | tr -d '\r')
shoot "$rect" "$images/reminder-list.png"
run "$bin/dialog_driver.exe" close-reminder 10000 >/dev/null
wait "$reminder_pid"
rm -f "$clock" "$second" "$third"
