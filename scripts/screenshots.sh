#!/usr/bin/env bash
# The pictures of the user's guide, taken from the running programs so that
# they stay true:
#   usage          docs/guide/images/usage-message.png        loxa.exe without a file
#   dialog         docs/guide/images/program-data-dialog.png  the dialog on a downloaded file
#   register       docs/guide/images/register-failed.png      "登録" with no reminder application
#   menu           docs/guide/images/handler-menu.png         the handler menu with one plug-in, twice the size
#   installer      docs/guide/images/installer-components.png the installer's component page
#   reminder       docs/guide/images/reminder-notice.png      loxa-reminder.exe's reminder window
#                  docs/guide/images/reminder-list.png        loxa-reminder.exe's list
#
#   bash scripts/screenshots.sh            all of them
#   bash scripts/screenshots.sh menu ...   only those named
#
# Builds what it needs (win64), and runs it under Wine on a virtual display of
# its own, in a fresh Wine prefix (build/screenshots/wineprefix) that
# tests/wine/run-in-wine.sh boots with the font the dialog asks for; Wine's
# own fonts (fonts-wine) draw the title bars as Windows does.
#
# To add a picture: write a function shot_NAME that leaves its window to
# shoot, calls `shoot RECT FILE` and closes what it opened, and add NAME to
# `shots` below. The installer is the win64 twin of the shipped one (same
# script, 64-bit stub): its pages look the same, and this machine runs only
# 64-bit Windows programs.
set -Eeuo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

shots=(usage dialog register menu installer reminder)

if ! command -v x86_64-w64-mingw32-g++ >/dev/null || ! command -v import >/dev/null \
  || ! command -v makensis >/dev/null || [ ! -f /usr/share/wine/fonts/marlett.ttf ]; then
  bash scripts/setup.sh
fi
cmake --preset win64 >/dev/null
cmake --build --preset win64 -j 2 --target loxa dialog_driver ical loxa-reminder >/dev/null
bin=$root/build/win64/bin
images=$root/docs/guide/images
work=$root/build/screenshots
mkdir -p "$images"

export LOXA_WINEPREFIX=$work/wineprefix
wineserver=/usr/lib/wine/wineserver64
# A server of an earlier run must be gone before its prefix is: a new one in
# the same place would otherwise talk to the dying one and boot half-way.
WINEPREFIX=$LOXA_WINEPREFIX "$wineserver" -k 2>/dev/null || true
WINEPREFIX=$LOXA_WINEPREFIX "$wineserver" -w 2>/dev/null || true
rm -rf "$work"
mkdir -p "$work"

# Always a virtual display: a picture of the user's own screen could hold
# whatever else is on it.
source scripts/virtual-display.sh
unset DISPLAY
start_virtual_display
# The last command that failed is the one that stopped the script, when it
# stops (failures that are let pass come before it).
failed_at=
trap 'failed_at="line $LINENO: $BASH_COMMAND"' ERR
cleanup() {
  local status=$?
  WINEPREFIX=$LOXA_WINEPREFIX "$wineserver" -k 2>/dev/null || true
  stop_virtual_display
  if [ "$status" -ne 0 ]; then
    echo "screenshots: failed at $failed_at" >&2
  fi
}
trap cleanup EXIT

windows_path() { echo "Z:${1//\//\\}"; }
run() { tests/wine/run-in-wine.sh "$@"; }
driver() { run "$bin/dialog_driver.exe" "$@" | tr -d '\r'; }

# The first run boots the prefix (a driver call that waits for nothing).
run "$bin/dialog_driver.exe" box 0 >/dev/null 2>&1 || true
windows=$LOXA_WINEPREFIX/drive_c/windows
# This Wine finds its own fonts (Tahoma for the title bars, Marlett for the
# caption buttons) only in the prefix's Fonts folder.
cp /usr/share/wine/fonts/*.ttf "$windows/Fonts/"
regedit() { run "$windows/regedit.exe" "$@"; }
reg() { run "$windows/system32/reg.exe" "$@"; }

# A document under the name a user would have downloaded it by.
mkdir -p "$work/Downloads"
cp examples/sample.loxa "$work/Downloads/映像の世紀.loxa"
document=$(windows_path "$work/Downloads/映像の世紀.loxa")

# Takes the screen rectangle WxH+X+Y into FILE, then applies any further
# `convert` options (a scale); no time stamps in the file, so that an
# unchanged picture gives an unchanged file.
shoot() {
  local rect=$1 file=$2
  shift 2
  sleep 0.5 # let the window paint first
  import -window root -crop "$rect" +repage -strip "$file"
  if [ $# -gt 0 ]; then
    convert "$file" "$@" -strip "$file"
  fi
  echo "wrote ${file#"$root"/}"
}

# Reads registry lines (after the .reg header) into the prefix. The names
# are not ASCII, so they go in through a UTF-16 .reg file.
import_reg() {
  local reg=$windows/../loxa-screenshots.reg
  {
    printf '\xff\xfe'
    printf '%s\r\n' 'Windows Registry Editor Version 5.00' '' "$@" | iconv -f UTF-8 -t UTF-16LE
  } >"$reg"
  regedit /S 'C:\loxa-screenshots.reg'
  rm -f "$reg"
}

# Windows draws message boxes and title bars in a proportional Japanese
# font; Wine's stand-in for it here is fixed-width, IPA P Gothic is not.
import_reg '[HKEY_CURRENT_USER\Software\Wine\Fonts\Replacements]' \
  '"MS UI Gothic"="IPAPGothic"'

# The calendar plug-in in the handler menu, listed as a user would list it.
list_calendar_plugin() {
  local ical_path
  ical_path=$(windows_path "$bin/ical.dll")
  import_reg '[HKEY_CURRENT_USER\SOFTWARE\Loxa\カレンダーに追加]' "@=\"${ical_path//\\/\\\\}\""
}

unlist_plugins() {
  reg delete 'HKCU\SOFTWARE\Loxa' /f >/dev/null 2>&1 || true
}

shot_usage() {
  run "$bin/loxa.exe" &
  local loxa_pid=$!
  shoot "$(driver box 30000)" "$images/usage-message.png"
  driver close-box 5000 >/dev/null
  wait "$loxa_pid" || true # the usage message ends the program with -1
}

shot_dialog() {
  unlist_plugins
  run "$bin/loxa.exe" "$document" &
  local loxa_pid=$!
  shoot "$(driver pose 30000)" "$images/program-data-dialog.png"
  driver cancel 5000 >/dev/null
  wait "$loxa_pid"
}

# No reminder application runs in the prefix, so "登録" cannot be delivered.
shot_register() {
  unlist_plugins
  run "$bin/loxa.exe" "$document" &
  local loxa_pid=$!
  driver wait 30000 >/dev/null
  driver register 5000 >/dev/null
  shoot "$(driver box 30000)" "$images/register-failed.png"
  driver close-box 5000 >/dev/null
  wait "$loxa_pid"
}

# The menu's own size is small beside the dialog's; doubled, pixel for pixel.
shot_menu() {
  list_calendar_plugin
  run "$bin/loxa.exe" "$document" &
  local loxa_pid=$!
  shoot "$(driver menu 30000)" "$images/handler-menu.png" -sample 200%
  driver dismiss-menu 5000 >/dev/null
  wait "$loxa_pid"
  unlist_plugins
}

# Builds the installer from this tree's loxa.nsi and steps to its component
# page (Next = button 1 on the welcome and the licence page).
shot_installer() {
  local version dir=$work/installer
  version=$(cat build/win64/version.txt)
  mkdir -p "$dir/stage"
  cp "$bin/loxa.exe" "$bin/ical.dll" "$bin/loxa-reminder.exe" "$dir/stage/"
  sed 's/\r$//; s/$/\r/' LICENSE >"$dir/stage/LICENSE.txt"
  cp src/resources/program.ico "$dir/"
  # loxa-reminder.exe is its own component's file, not the list's.
  printf 'SetOutPath "$INSTDIR"\nFile "stage\\%s"\n' loxa.exe ical.dll LICENSE.txt >"$dir/install.nsh"
  printf 'Delete "$INSTDIR\\%s"\n' loxa.exe ical.dll loxa-reminder.exe LICENSE.txt >"$dir/remove.nsh"
  (cd "$dir" && makensis -V2 -NOCD -INPUTCHARSET UTF8 '-XTarget amd64-unicode' \
    -DVERSION="$version" -DSTAGE=stage -DICON=program.ico -DOUTFILE=loxa-setup.exe \
    -DINSTALL_LIST=install.nsh -DREMOVE_LIST=remove.nsh \
    "$root/installer/loxa.nsi" >makensis.log)

  local title="Loxa $version セットアップ"
  run "$dir/loxa-setup.exe" &
  driver window "$title" 30000 >/dev/null
  driver press "$title" 1 5000
  sleep 1
  driver press "$title" 1 5000
  sleep 1
  shoot "$(driver window "$title" 5000)" "$images/installer-components.png"
  # Left open: the cleanup ends it with the prefix, before anything is installed.
}

# loxa-reminder.exe: a reminder window and the list, from programs registered
# through the dialog as a user registers them. The reminder reads its clock
# from a file here, so the reminder comes due at once.
shot_reminder() {
  unlist_plugins # the dialog, not the menu
  export LOXA_REMINDER_CLOCK_FILE='C:\reminder-clock.txt'
  local clock=$LOXA_WINEPREFIX/drive_c/reminder-clock.txt
  local second=$LOXA_WINEPREFIX/drive_c/second.loxa third=$LOXA_WINEPREFIX/drive_c/third.loxa
  local reminder_pid loxa_pid notify= lead year file
  printf '%s' "$(date '+%Y-%m-%d %H:%M'):00" >"$clock"
  run "$bin/loxa-reminder.exe" &
  reminder_pid=$!
  # Three programs: the sample and two more, with the line ends documents have.
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
  for file in "$document" 'C:\second.loxa' 'C:\third.loxa'; do
    run "$bin/loxa.exe" "$file" &
    loxa_pid=$!
    driver wait 30000 >/dev/null
    # The first one's notification time (the start less the lead minutes).
    if [ -z "$notify" ]; then
      lead=$(driver show | sed -n 's/.* lead \([0-9]*\) .*/\1/p')
      notify=$(date -d "2027-03-01 00:03 $lead minutes ago" '+%m-%d %H:%M')
    fi
    driver register 5000 >/dev/null
    wait "$loxa_pid"
  done

  # Due on the first day on or after today with that month and day.
  year=$(date +%Y)
  if [[ "$year-$notify" < "$(date +%Y-%m-%d)" ]]; then
    year=$((year + 1))
  fi
  driver close-reminder 10000 >/dev/null
  wait "$reminder_pid"
  printf '%s' "$year-$notify:00" >"$clock"
  run "$bin/loxa-reminder.exe" &
  reminder_pid=$!
  shoot "$(driver reminder 30000)" "$images/reminder-notice.png"
  driver dismiss-reminder 5000 >/dev/null

  # A second start brings the first one's list forward.
  run "$bin/loxa-reminder.exe"
  shoot "$(driver reminder-list 30000)" "$images/reminder-list.png"
  driver close-reminder 10000 >/dev/null
  wait "$reminder_pid"
  rm -f "$clock" "$second" "$third"
  unset LOXA_REMINDER_CLOCK_FILE
}

wanted=("$@")
for shot in "${shots[@]}"; do
  if [ ${#wanted[@]} -eq 0 ] || [[ " ${wanted[*]} " == *" $shot "* ]]; then
    "shot_$shot"
  fi
done
