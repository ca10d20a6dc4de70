#!/usr/bin/env bash
# Builds the release for Windows users into dist/:
#   loxa-<version>-win32.zip   the program folder loxa-<version>/ (loxa.exe,
#                              the reminder application loxa-reminder.exe, the
#                              calendar plug-in, the SDK, the guide)
#   loxa-<version>-setup.exe   the installer (NSIS)
#   SHA256SUMS                 of both
# The version is the CMake project version. The same commit gives the same
# bytes on any machine of this kind: the program is built reproducibly, and
# every packed file gets the commit's date, a fixed mode and a fixed order.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

bash scripts/setup.sh
export SOURCE_DATE_EPOCH=${SOURCE_DATE_EPOCH:-$(git log -1 --format=%ct)}
export TZ=UTC LC_ALL=C

cmake --preset win32 >/dev/null
cmake --build --preset win32 -j2 --target loxa loxa-reminder ical >/dev/null
version=$(cat build/win32/version.txt)
name=loxa-$version

work=$root/build/release
stage=$work/$name
rm -rf "$work" dist
mkdir -p "$stage/sdk" dist

# Texts for Notepad: CR LF lines; Japanese ones in UTF-8 with a byte order mark.
crlf() { sed 's/\r$//; s/$/\r/' "$1"; }
cp build/win32/bin/loxa.exe build/win32/bin/loxa-reminder.exe build/win32/bin/ical.dll "$stage/"
cp sdk/loxa_plugin.h "$stage/sdk/"
{ printf '\357\273\277'; crlf docs/release/plugin-guide.txt; } >"$stage/sdk/plugin-guide.txt"
crlf LICENSE >"$stage/LICENSE.txt"
if [ -f docs/guide/loxa-guide.html ]; then
  mkdir -p "$stage/guide/images"
  cp docs/guide/loxa-guide.html "$stage/guide/"
  cp docs/guide/images/*.png "$stage/guide/images/" 2>/dev/null || true
else
  echo "release: docs/guide/loxa-guide.html is missing; this release has no user's guide" >&2
fi

find "$stage" -type d -exec chmod 755 {} +
find "$stage" -type f -exec chmod 644 {} +
find "$stage" -exec touch -h -d "@$SOURCE_DATE_EPOCH" {} +

# The files in a fixed order; zip -X leaves out owners and extra time stamps.
(cd "$work" && find "$name" -type f | sort >files.txt)
(cd "$work" && zip -X -D -9 -q "$root/dist/$name-win32.zip" -@ <files.txt)

# The installer's file lists, from the same files. The reminder application
# is a component of its own, which installs it itself; the removal list takes
# it like every other file.
grep -v -F -x "$name/loxa-reminder.exe" "$work/files.txt" | while IFS= read -r file; do
  relative=${file#"$name"/}
  folder=$(dirname "$relative")
  if [ "$folder" = . ]; then target='$INSTDIR'; else target="\$INSTDIR\\${folder//\//\\}"; fi
  printf 'SetOutPath "%s"\nFile "%s"\n' "$target" "$file"
done >"$work/install.nsh"
{
  while IFS= read -r file; do
    relative=${file#"$name"/}
    printf 'Delete "$INSTDIR\\%s"\n' "${relative//\//\\}"
  done <"$work/files.txt"
  # Folders deepest first; RMDir leaves any that still hold the user's files.
  sed "s|^$name/||" "$work/files.txt" | while IFS= read -r relative; do
    folder=$(dirname "$relative")
    while [ "$folder" != . ]; do
      echo "$folder"
      folder=$(dirname "$folder")
    done
  done | sort -u -r | while IFS= read -r folder; do
    printf 'RMDir "$INSTDIR\\%s"\n' "${folder//\//\\}"
  done
} >"$work/remove.nsh"

# Relative paths only, from the release folder: no build path in the installer.
cp src/resources/program.ico "$work/"
(cd "$work" && makensis -V2 -NOCD -INPUTCHARSET UTF8 \
  -DVERSION="$version" -DSTAGE="$name" -DICON=program.ico -DOUTFILE="$name-setup.exe" \
  -DINSTALL_LIST=install.nsh -DREMOVE_LIST=remove.nsh \
  "$root/installer/loxa.nsi" >makensis.log)
mv "$work/$name-setup.exe" dist/

(cd dist && sha256sum "$name-win32.zip" "$name-setup.exe" >SHA256SUMS)
for file in "$name-win32.zip" "$name-setup.exe" SHA256SUMS; do
  printf 'dist/%s  %s bytes\n' "$file" "$(stat -c %s "dist/$file")"
done
