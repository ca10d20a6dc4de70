#!/usr/bin/env bash
# The 32-bit lane: runs the win32 build's ctest (the shipped i686 loxa.exe,
# receiver, plug-ins and the test programs built for i686) under Wine with
# 32-bit support. This machine cannot execute 32-bit Linux code, so the tests
# run in a small x86_64 Debian 12 virtual machine (qemu, TCG) that has
# Debian's wine, wine32 and wine64.
#
# The machine's image is built once and cached outside the work tree, in
# ${LOXA_VM_CACHE:-$HOME/.cache/loxa/win32-vm}/<hash>, where <hash> covers the
# package list and the guest's init script: changing either builds a new one.
# Every checkout on this machine shares the cache.
#
# The guest mounts this project folder at the same absolute path as here and
# runs this script again with --guest: a virtual display, then a fresh 64-bit
# Wine prefix, where the i686 programs run under WOW64 as on users' 64-bit
# Windows, and in it every test of build/win32 except the ones listed below.
# 32-bit editions of Windows are out of support, so no pure 32-bit prefix is
# run. Its log lands in build/win32/vm/guest.log and is printed here. The script
# fails on a failing test, on a boot or set-up failure, and when the machine
# does not finish within LOXA_VM_MINUTES (kills it then).
#
# With --image-only it stops once the image is in the cache.
#
#   LOXA_VM_CACHE         image cache folder (above)
#   LOXA_VM_MINUTES       wall-clock limit of the whole guest run (90)
#   LOXA_VM_TEST_TIMEOUT  ctest's per-test timeout in seconds in the guest (900)
#   LOXA_VM_CTEST_ARGS    ctest selection arguments of the run,
#                         e.g. "-R wine.PluginRoad"
#   LOXA_VM_WAIT_SCALE    factor on the tests' waits for windows, chips and
#                         processes in the guest (10; tests/wine/wait_scale.h)
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)

# Tests that keep running only in the 64-bit lane: their bounds assume native
# speed, and the emulated machine runs them many times slower. One line each:
# a ctest regular expression, then the reason.
excluded=(
)

exclude_regex() {
  local i regex=
  for ((i = 0; i < ${#excluded[@]}; i += 2)); do
    regex+="${regex:+|}${excluded[i]}"
  done
  echo "$regex"
}

# --- inside the virtual machine --------------------------------------------
# Boots a fresh 64-bit prefix, with the WOW64 system folder, in $WINEPREFIX;
# a boot that fails is tried once more in a fresh prefix. Wine runs without
# address-space randomization, for the reason tests/wine/run-in-wine.sh gives.
boot_prefix() {
  local wine=(setarch "$(uname -m)" -R /usr/lib/wine/wine64)
  local server=/usr/lib/wine/wineserver64 started attempt configured
  export WINESERVER=$server
  for attempt in 1 2; do
    started=$(date +%s)
    "$server" -k 2>/dev/null
    rm -rf "$WINEPREFIX" "$WINEPREFIX.lock"
    mkdir -p "$WINEPREFIX"
    timeout 1800 env WINEARCH=win64 "${wine[@]}" wineboot -i </dev/null >/tmp/wineboot.log 2>&1
    echo "guest: wineboot -i ended ($?) after $(($(date +%s) - started)) s"
    # As tests/wine/run-in-wine.sh does on first use: unmanaged windows, so
    # that hiding one does not wait for a window manager.
    # A prefix where this fails runs no program either.
    configured=yes
    timeout 600 "${wine[@]}" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f </dev/null >/dev/null 2>&1 || {
      configured=no
      echo "guest: reg add in the prefix failed or did not end"
    }
    timeout 600 "$server" -w || { echo "guest: the prefix's server did not end"; tail -n 20 /tmp/wineboot.log; }
    if [ $configured = yes ] && [ -f "$WINEPREFIX/system.reg" ] &&
       [ -d "$WINEPREFIX/drive_c/windows/syswow64" ]; then
      touch "$WINEPREFIX/.loxa-ready"
      echo "guest: prefix booted in $(($(date +%s) - started)) s"
      return 0
    fi
    echo "guest: the Wine prefix did not boot (attempt $attempt); wineboot's log:"
    tail -n 20 /tmp/wineboot.log
  done
  return 1
}

# Runs the tests of build/win32 in the prefix $WINEPREFIX; the arguments
# select them as ctest's do. A Wine process takes 10 to 20 s to start in the
# emulated machine, so each test program runs once with all its tests
# (scripts/run-tests-together.sh), not once per test as under ctest. A
# test that did not pass there runs once more on its own: the emulated
# machine is tens of times slower than a real one and its pace varies with
# the host's load, so a wait can run out on a sound program. A fault fails
# both attempts.
run_tests() {
  local started status server=/usr/lib/wine/wineserver64
  started=$(date +%s)
  LOXA_TEST_TIMEOUT=$LOXA_VM_TEST_TIMEOUT bash scripts/run-tests-together.sh build/win32 "$@"
  status=$?
  echo "guest: the tests took $(($(date +%s) - started)) s"
  "$server" -k 2>/dev/null
  return $status
}

if [ "${1:-}" = "--guest" ]; then
  cd "$root" || exit 2
  # The host's settings (the guest inherits no environment from it).
  source build/win32/vm/job.env
  export LOXA_TEST_WAIT_SCALE=$LOXA_VM_WAIT_SCALE
  export LANG=ja_JP.UTF-8 LC_ALL=ja_JP.UTF-8
  # As tests/wine/run-in-wine.sh sets them; without winemenubuilder from
  # the prefix's boot on.
  export WINEDLLOVERRIDES='mscoree,mshtml=;winemenubuilder.exe=d' WINEDEBUG=-all
  source scripts/virtual-display.sh
  echo "guest: $(uname -r), $(nproc) CPUs, wine $(/usr/lib/wine/wine --version)"
  start_virtual_display || { echo "guest: no virtual display"; exit 2; }

  # Each prefix lives on the machine's own disk (discarded at power-off):
  # Wine wants it owned by the user, and the shared folder is slow.
  # Every test in a 64-bit prefix, where the i686 programs run under WOW64
  # as on the 64-bit Windows 10 and 11 of nearly all users.
  status=0
  export LOXA_WINEPREFIX=/root/wow64-prefix WINEPREFIX=/root/wow64-prefix
  echo "guest: === WOW64 (64-bit prefix): the whole ctest ==="
  regex=$(exclude_regex)
  if boot_prefix; then
    # shellcheck disable=SC2086  # extra arguments split on purpose
    run_tests ${regex:+-E "$regex"} $LOXA_VM_CTEST_ARGS || status=1
  else
    status=2
  fi
  stop_virtual_display
  exit $status
fi

# --- on the host -------------------------------------------------------------
cd "$root" || exit 2
packages=(
  linux-image-amd64 initramfs-tools kmod mount procps
  wine wine32 wine64 xvfb xauth locales fonts-ipafont-gothic cmake
)
cache_root=${LOXA_VM_CACHE:-$HOME/.cache/loxa/win32-vm}
out=$root/build/win32/vm
minutes=${LOXA_VM_MINUTES:-90}

# A small initramfs (the whole module set takes minutes to pack): just what
# mounts a virtio disk with ext4.
initramfs_hook='#!/bin/sh
[ "$1" = prereqs ] && exit 0
. /usr/share/initramfs-tools/hook-functions
manual_add_modules virtio_pci virtio_blk ext4 crc32c_generic'

# The host's apt sources without the security suite, one-line or deb822.
# The guest is a sealed test machine that runs only the tests, so the release
# and its updates are enough; and the security mirror's i386 index was seen
# out of step with its Release file ("File has unexpected size ... Mirror
# sync in progress?") in every try one morning, which stopped the image build.
guest_sources() {
  local host=/etc/apt/sources.list
  if [ -s "$host" ]; then
    grep -v -- '-security' "$host"
    return
  fi
  awk 'BEGIN { RS = ""; ORS = "\n\n" }
    {
      out = ""; suites = 1
      n = split($0, lines, "\n")
      for (i = 1; i <= n; i++) {
        line = lines[i]
        if (line ~ /^Suites:/) {
          gsub(/[ \t]+[^ \t]*-security/, "", line)
          suites = line !~ /^Suites:[ \t]*$/
        }
        out = out line "\n"
      }
      if (suites) printf "%s\n", out
    }' /etc/apt/sources.list.d/debian.sources
}

build_image() {
  local work=$cache.partial
  echo "test-win32: building the virtual machine image in $cache"
  rm -rf "$work"
  mkdir -p "$work"
  export LOXA_INITRAMFS_HOOK=$initramfs_hook
  # The host's own apt sources are the mirror, so no host name is written here.
  # mmdebstrap tells the two formats by the file's ending.
  local sources=$work/guest.list
  [ -s /etc/apt/sources.list ] || sources=$work/guest.sources
  guest_sources >"$sources"
  mmdebstrap --quiet --variant=apt --architectures=amd64,i386 \
    --include="$(IFS=,; echo "${packages[*]}")" \
    --setup-hook='mkdir -p "$1/etc/initramfs-tools/conf.d" "$1/etc/initramfs-tools/hooks"' \
    --setup-hook='printf "%s\n" "$LOXA_INITRAMFS_HOOK" >"$1/etc/initramfs-tools/hooks/loxa"' \
    --setup-hook='chmod 755 "$1/etc/initramfs-tools/hooks/loxa"' \
    --setup-hook='echo MODULES=list >"$1/etc/initramfs-tools/conf.d/loxa"' \
    --customize-hook='echo "ja_JP.UTF-8 UTF-8" >"$1/etc/locale.gen" && chroot "$1" locale-gen' \
    --customize-hook="install -m 755 scripts/win32-vm-init.sh \"\$1/sbin/loxa-init\"" \
    --customize-hook='rm -rf "$1"/var/cache/apt/archives/*.deb "$1"/var/lib/apt/lists/*' \
    bookworm "$work/root" "$sources" || return 1
  cp "$work"/root/boot/vmlinuz-* "$work/vmlinuz" &&
    cp "$work"/root/boot/initrd.img-* "$work/initrd.img" &&
    mkfs.ext4 -q -L loxa-vm -d "$work/root" "$work/disk.img" 4G &&
    rm -rf "$work/root" &&
    rm -rf "$cache" && mv "$work" "$cache"
}

# The image's key: its packages, its init script and how it is built.
key=$( (printf '%s\n' "${packages[@]}"; cat scripts/win32-vm-init.sh; declare -f build_image
  declare -f guest_sources; echo "$initramfs_hook") | sha256sum | cut -c1-16)
cache=$cache_root/$key
if [ ! -f "$cache/disk.img" ]; then
  started=$(date +%s)
  build_image || { echo "test-win32: the image build failed"; exit 2; }
  echo "test-win32: image built in $(($(date +%s) - started)) s"
fi
[ "${1:-}" = "--image-only" ] && exit 0

# The win32 build with its tests (a no-op when it is up to date).
if ! { cmake --preset win32 >/dev/null && cmake --build --preset win32 -j "$(nproc)"; }; then
  echo "test-win32: the win32 build failed"
  exit 2
fi

rm -rf "$out"
mkdir -p "$out"
{
  printf 'LOXA_VM_TEST_TIMEOUT=%q\n' "${LOXA_VM_TEST_TIMEOUT:-900}"
  printf 'LOXA_VM_WAIT_SCALE=%q\n' "${LOXA_VM_WAIT_SCALE:-10}"
  printf 'LOXA_VM_CTEST_ARGS=%q\n' "${LOXA_VM_CTEST_ARGS:-}"
} >"$out/job.env"
echo "test-win32: booting the virtual machine (limit $minutes min)"
started=$(date +%s)
# -snapshot keeps the cached image unchanged; -cpu Nehalem because under TCG
# the guest kernel faults on Wine's iretq with -cpu max, and KVM hangs here.
timeout --kill-after=10 "$((minutes * 60))" qemu-system-x86_64 \
  -accel tcg,thread=multi -cpu Nehalem -smp 2 -m 3072 \
  -nographic -no-reboot -snapshot -nic none \
  -kernel "$cache/vmlinuz" -initrd "$cache/initrd.img" \
  -append "root=/dev/vda rw console=ttyS0 quiet panic=-1 init=/sbin/loxa-init loxa_root=$root loxa_out=$out" \
  -drive "file=$cache/disk.img,format=raw,if=virtio" \
  -virtfs "local,path=$root,mount_tag=host,security_model=none" \
  </dev/null >"$out/console.log" 2>&1
qemu_status=$?
echo "test-win32: the virtual machine ran $(($(date +%s) - started)) s"

[ -f "$out/guest.log" ] && cat "$out/guest.log"
if [ "$qemu_status" -eq 124 ] || [ "$qemu_status" -eq 137 ]; then
  echo "test-win32: the virtual machine did not finish within $minutes min"
  exit 3
fi
if [ ! -f "$out/guest.status" ]; then
  echo "test-win32: the guest job did not run; the machine's console:"
  tail -n 40 "$out/console.log"
  exit 2
fi
status=$(cat "$out/guest.status")
if [ ${#excluded[@]} -gt 0 ]; then
  echo "test-win32: excluded here (they run in the 64-bit lane):"
  for ((i = 0; i < ${#excluded[@]}; i += 2)); do
    echo "  ${excluded[i]}: ${excluded[i + 1]}"
  done
fi
[ "$status" = 0 ] || { echo "test-win32: the guest job failed (status $status)"; exit 1; }
exit 0
