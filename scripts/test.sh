#!/usr/bin/env bash
# The whole test run: set-up when something is missing, all four builds,
# the release files in dist/ and their checks, the native unit tests (plain
# and sanitized) and the Windows tests under Wine in a fresh prefix on a
# virtual display, the static analysis (scripts/lint.sh), the 32-bit lane
# (scripts/test-win32.sh, which also installs the release), then a bounded
# run of each fuzz target. A failing step fails the
# run; the later ones still run.
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

bash scripts/setup.sh || exit 1
jobs=$(nproc)
# Compiles are cached across checkouts (ccache keeps them in ~/.cache), so a
# machine that has run the tests once rebuilds a fresh checkout in a minute.
# A build folder configured earlier keeps what it was configured with.
export CMAKE_C_COMPILER_LAUNCHER=ccache CMAKE_CXX_COMPILER_LAUNCHER=ccache

for preset in native native-asan win32 win64; do
  cmake --preset "$preset" >/dev/null || exit 1
  cmake --build --preset "$preset" -j "$jobs" || exit 1
done

source scripts/virtual-display.sh
start_virtual_display

# One fresh Wine prefix per test run.
export LOXA_WINEPREFIX=$root/build/win64/wineprefix
WINEPREFIX=$LOXA_WINEPREFIX /usr/lib/wine/wineserver64 -k 2>/dev/null || true
rm -rf "$LOXA_WINEPREFIX" "$LOXA_WINEPREFIX.lock"

status=0
# The release in dist/, which the 32-bit build's installer tests use; the
# zip's contents are checked here; and the shipped files must come out the
# same from a second copy of the source.
version=$(cat build/win32/version.txt)
bash scripts/release.sh || status=1
bash tests/release/zip_contents.sh "dist/loxa-$version-win32.zip" "$version" || status=1
bash scripts/check-reproducible.sh || status=1

ctest --preset native -j "$jobs" || status=1
ASAN_OPTIONS=detect_leaks=1 ctest --preset native-asan -j "$jobs" || status=1
ctest --preset win64 || status=1
bash scripts/lint.sh || status=1

WINEPREFIX=$LOXA_WINEPREFIX /usr/lib/wine/wineserver64 -k 2>/dev/null || true
stop_virtual_display

# The same Windows tests against the shipped i686 build, in a virtual machine
# (scripts/test-win32.sh): all of them under WOW64 in a 64-bit Wine prefix,
# as on users' 64-bit Windows.
# Its own limit keeps the whole run inside CI's 90 minutes.
LOXA_VM_MINUTES=${LOXA_VM_MINUTES:-70} bash scripts/test-win32.sh || status=1

# Each fuzz target for a bounded time (LOXA_FUZZ_SECONDS, 30 s by default).
bash scripts/fuzz.sh || status=1
exit $status
