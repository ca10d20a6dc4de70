#!/usr/bin/env bash
# The release zip: exactly the files a user gets, under loxa-<version>/, and
# every program in it a stripped 32-bit x86 one that imports only DLLs that
# come with Windows.
set -euo pipefail
zip=$1
version=$2
top=loxa-$version

expected="$top/LICENSE.txt
$top/guide/loxa-guide.html
$top/ical.dll
$top/loxa-reminder.exe
$top/loxa.exe
$top/sdk/loxa_plugin.h
$top/sdk/plugin-guide.txt"
# The guide's screenshots, whatever their names, and nothing else.
listed=$(unzip -Z1 "$zip" | LC_ALL=C sort)
images=$(grep -E "^$top/guide/images/[^/]+\.png\$" <<<"$listed" || true)
status=0
if [ -z "$images" ]; then
  echo "no screenshots under $top/guide/images/" >&2
  status=1
fi
if [ "$(grep -v -E "^$top/guide/images/[^/]+\.png\$" <<<"$listed")" != "$expected" ]; then
  echo "the zip holds:" >&2
  echo "$listed" >&2
  status=1
fi

system_dlls=" advapi32.dll comctl32.dll gdi32.dll kernel32.dll msvcrt.dll ole32.dll shell32.dll shlwapi.dll user32.dll "
folder=$(mktemp -d)
trap 'rm -rf "$folder"' EXIT
programs=(loxa.exe loxa-reminder.exe ical.dll)
unzip -q "$zip" "${programs[@]/#/$top/}" -d "$folder"
for program in "${programs[@]}"; do
  file=$folder/$top/$program
  if ! i686-w64-mingw32-objdump -f "$file" | grep -q 'file format pei-i386'; then
    echo "$program is not a 32-bit x86 program" >&2
    status=1
  fi
  if [ -n "$(i686-w64-mingw32-nm "$file" 2>/dev/null)" ]; then
    echo "$program is not stripped" >&2
    status=1
  fi
  for dll in $(i686-w64-mingw32-objdump -p "$file" | sed -n 's/^\tDLL Name: //p' | tr 'A-Z' 'a-z'); do
    if [[ "$system_dlls" != *" $dll "* ]]; then
      echo "$program imports $dll, which Windows does not have" >&2
      status=1
    fi
  done
done
exit $status
