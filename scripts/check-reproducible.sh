#!/usr/bin/env bash
# Proves that the shipped files do not depend on where they were built: the
# i686 loxa.exe, the reminder application and the calendar plug-in, built
# from two copies of the source at different paths (tests off, only those
# targets), must be the same bytes. The copies hold the tracked files as
# they are in the work tree.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

# The program takes no date from the environment: a developer's build has
# none, and the linker would otherwise stamp that date instead of the time.
unset SOURCE_DATE_EPOCH
# Each copy compiles for itself: an object from the compiler cache would make
# the second build the first one's bytes, whatever the path does to them.
export CCACHE_DISABLE=1
work=$root/build/reproducible
rm -rf "$work"
copies=("$work/first/loxa" "$work/second-copy/source")
for copy in "${copies[@]}"; do
  mkdir -p "$copy"
  git ls-files -z --cached --others --exclude-standard |
    while IFS= read -r -d '' file; do [ -e "$file" ] && printf '%s\0' "$file"; done |
    tar --null -T - -cf - | tar -xf - -C "$copy"
  (cd "$copy" &&
    cmake --preset win32 -DLOXA_BUILD_TESTS=OFF >/dev/null &&
    cmake --build --preset win32 -j2 --target loxa loxa-reminder ical >/dev/null)
done

status=0
for file in loxa.exe loxa-reminder.exe ical.dll; do
  if cmp "${copies[0]}/build/win32/bin/$file" "${copies[1]}/build/win32/bin/$file"; then
    echo "reproducible: $file"
  else
    echo "NOT reproducible: $file differs between two builds of the same source" >&2
    status=1
  fi
done
[ $status -ne 0 ] || rm -rf "$work"
exit $status
