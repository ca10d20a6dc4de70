#!/usr/bin/env bash
# Runs a Windows program under Wine in the test prefix of this build
# (build/<preset>/wineprefix), booting that prefix on first use. ctest uses
# this as the cross-compiling emulator of both Windows builds: 64-bit Wine for
# x86_64 programs, 32-bit Wine (in the 32-bit lane's virtual machine) for i686
# ones, under WOW64 in the same 64-bit prefix; LOXA_WINE
# names another Wine binary. The caller provides DISPLAY (the test
# command starts Xvfb); LANG=ja_JP.UTF-8 makes Wine's ANSI code page 932.
set -euo pipefail

program=$1
shift
build_dir=$(cd "$(dirname "$program")/.." && pwd)
export WINEPREFIX=${LOXA_WINEPREFIX:-$build_dir/wineprefix}
export LANG=ja_JP.UTF-8 LC_ALL=ja_JP.UTF-8
# Without winemenubuilder: Wine's shell32 starts it on every SHChangeNotify
# of an association change (loxa.exe's /R and /U) and wineboot at each
# session's start, to write Linux desktop files that no test reads, running
# beside the tests (inside loxa.exe's job when loxa.exe started it).
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=;winemenubuilder.exe=d}
# Wine's own error reports only: the whole suite prints none when it passes,
# and a program that ends before its first line of output may say why.
export WINEDEBUG=${WINEDEBUG:--all,err+all}
# The PE header's machine field: 4c 01 is i386.
pe_offset=$(od -An -tu4 -j60 -N4 "$program" | tr -d ' ')
machine=$(od -An -tx1 -j$((pe_offset + 4)) -N2 "$program" | tr -d ' ')
if [ "$machine" = 4c01 ]; then
  WINE=${LOXA_WINE:-/usr/lib/wine/wine}
else
  WINE=${LOXA_WINE:-/usr/lib/wine/wine64}
fi
# Every Wine process runs without address-space randomization. Debian's Wine
# has no preloader to reserve Wine's fixed addresses before the kernel lays
# out a process, and the kernel puts the loader's heap anywhere up to 1 GiB
# above the loader (0x7d000000 for wine64). Now and then the heap covered the
# page at 0x7ffe0000 where Wine maps the shared user data, and the process
# ended at once with status 1 ("failed to map the shared user data:
# c0000018"): 2 of 3,220 starts of "cmd /c exit" beside a rebuild loop, and
# a test program in one of four loaded runs of the suite.
# Unrandomized, the heap starts right after the loader, 47 MiB below that
# page; Wine's own child processes inherit the setting.
run_wine() { setarch "$(uname -m)" -R "$WINE" "$@"; }
# The 64-bit server serves the i686 programs under WOW64 too; Wine's loader
# starts the one WINESERVER names.
WINESERVER=/usr/lib/wine/wineserver64
[ -x "$WINESERVER" ] || WINESERVER=/usr/lib/wine/wineserver
export WINESERVER

if [ -z "${DISPLAY:-}" ]; then
  echo "run-in-wine: DISPLAY is not set; run the tests through scripts/test.sh" >&2
  exit 1
fi

mkdir -p "$WINEPREFIX"

# Other prefixes may have servers on this machine too, and so may an earlier
# prefix of the same path that was removed while its server ran. A server
# works in a folder named after its prefix's device and inode number, which
# tells them apart.
server_tag=$(printf 'server-%x-%x' "$(stat -c %d "$WINEPREFIX")" "$(stat -c %i "$WINEPREFIX")")

# The pid of this prefix's own server, if one runs.
own_server_pid() {
  local pid
  for pid in $(pgrep -f wineserver); do
    case $(readlink "/proc/$pid/cwd" 2>/dev/null) in
      */"$server_tag") echo "$pid"; return 0 ;;
    esac
  done
  return 1
}

# Whether this prefix's desktop keeper (tools/desktop_keeper) runs: its
# command line holds the prefix's server tag. The path alone would take
# the keeper of a removed prefix's server, which holds no desktop of this one.
keeper_runs() {
  local pid
  for pid in $(pgrep -f desktop_keeper); do
    tr '\0' '\n' <"/proc/$pid/cmdline" 2>/dev/null | grep -qxF -- "$server_tag" && return 0
  done
  return 1
}

(
  # Parallel tests wait here for the first one to finish booting.
  flock 9
  # A prefix booted before the font replacement came is booted again; a
  # server still running in it from an interrupted run would keep the wait
  # below from ending.
  if [ ! -f "$WINEPREFIX/.loxa-ready" ] || [ ! -f "$WINEPREFIX/.loxa-fonts" ]; then
    "$WINESERVER" -k </dev/null >/dev/null 2>&1 || true
    "$WINESERVER" -w </dev/null >/dev/null 2>&1 || true
    run_wine wineboot -i </dev/null >/dev/null 2>&1 || true
    # Without a window manager Wine waits about 2 s whenever a window hides,
    # unless its windows are unmanaged.
    run_wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f </dev/null >/dev/null 2>&1
    # The dialog's font "ＭＳ Ｐゴシック" is not on this system, and Wine's own
    # fallback is fixed-width, which clips the labels. The proportional IPA
    # P Gothic has Windows' metrics near enough. The value name is not
    # ASCII, so it goes in through a UTF-16 .reg file, which regedit reads
    # whatever the code page.
    fonts_reg=$WINEPREFIX/drive_c/loxa-fonts.reg
    {
      printf '\xff\xfe'
      printf '%s\r\n' 'Windows Registry Editor Version 5.00' '' \
        '[HKEY_CURRENT_USER\Software\Wine\Fonts\Replacements]' \
        '"ＭＳ Ｐゴシック"="IPAPGothic"' |
        iconv -f UTF-8 -t UTF-16LE
    } >"$fonts_reg"
    run_wine regedit /S 'C:\loxa-fonts.reg' </dev/null >/dev/null 2>&1
    rm -f "$fonts_reg"
    "$WINESERVER" -w
    touch "$WINEPREFIX/.loxa-ready" "$WINEPREFIX/.loxa-fonts"
  fi
  # One persistent server, and Wine's own service processes, for the whole
  # run, started detached from any test's output so that none of them keeps
  # ctest's pipe open after the test ends.
  if ! own_server_pid >/dev/null; then
    "$WINESERVER" -p </dev/null >/dev/null 2>&1 9>&- || true
    run_wine cmd /c exit </dev/null >/dev/null 2>&1 9>&- || true
  fi
  # The prefix's temporary folder, which holds every test's scratch files
  # and the reminder tests' data, on RAM where /dev/shm offers it: the
  # reminder flushes each chip it accepts to disk before it acknowledges it,
  # and beside a rebuild loop a flush on this disk took up to 1.2 s, past
  # loxa.exe's 1 s wait for the acknowledgement. A fresh prefix gets an
  # empty one; a prefix kept across a reboot, which empties /dev/shm, gets
  # its folder back.
  temp=$WINEPREFIX/drive_c/users/$(id -un)/Temp
  ram=/dev/shm/loxa-temp-$(stat -c %d-%i "$WINEPREFIX")
  if [ -L "$temp" ]; then
    mkdir -p "$(readlink "$temp")"
  elif [ -d "$temp" ] && [ "$(stat -f -c %T /dev/shm 2>/dev/null)" = tmpfs ]; then
    rm -rf "$ram" "$temp" && mkdir "$ram" && ln -s "$ram" "$temp"
  fi
  # One desktop for the whole run: Wine closes it between two tests and
  # starts a new explorer.exe for the next, and a program that came up while
  # the old one went died of an X error.
  keeper=$build_dir/bin/desktop_keeper.exe
  if [ -f "$keeper" ] && ! keeper_runs; then
    run_wine "$keeper" "$server_tag" </dev/null >/dev/null 2>&1 9>&- ||
      echo "run-in-wine: desktop_keeper.exe failed ($?); the desktop may close between tests" >&2
  fi
) 9>"$WINEPREFIX.lock"

# A program that ends without a word still says how it ended.
status=0
run_wine "$program" "$@" || status=$?
if [ "$status" -ne 0 ]; then
  echo "run-in-wine: $(basename "$program") ended with status $status" >&2
fi
exit "$status"
