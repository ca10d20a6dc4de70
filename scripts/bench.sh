#!/usr/bin/env bash
# The benchmarks (not part of the tests): builds what they need, runs them
# and writes the results as Markdown to stdout; build output and the
# benchmarks' own logs go to stderr and build/bench/.
#
#   bash scripts/bench.sh
#
# - parser throughput: ParseProgramInfo against a memchr scan for CR (native,
#   Google Benchmark), on a 1 KB, a 1 MB header-heavy and a 100 MB document,
#   and the same for the Windows build under Wine (its keyword match is
#   CompareStringA);
# - launch latency under Wine: loxa.exe (x86_64) against a minimal program
#   showing the same kind of window with the same manifest and font,
#   LOXA_BENCH_RUNS rounds (default 30) in a freshly booted prefix
#   build/win64/bench-wineprefix; with perf installed, also the CPU time of
#   every start;
# - size: loxa.exe of the win32 and win64 builds and the DLLs each imports;
# - loxa-reminder.exe with LOXA_BENCH_REMINDERS reminders kept (default
#   10000): the file calls of one write in an empty and in the full folder,
#   the acknowledgement time against an empty folder in alternating rounds
#   (LOXA_BENCH_ACK_ROUNDS of LOXA_BENCH_ACK_POKES pokes, default 5 of 40),
#   and opening, paging through and deleting from its list.
#   LOXA_BENCH_ONLY=reminder runs this section alone.
# Every ratio compares two programs measured side by side in the same run.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
runs=${LOXA_BENCH_RUNS:-30}
logs=$root/build/bench
mkdir -p "$logs"

# LOXA_BENCH_ONLY=reminder runs only the benchmarks of loxa-reminder.exe.
only=${LOXA_BENCH_ONLY:-}
case $only in
  "" | reminder) ;;
  *)
    echo "LOXA_BENCH_ONLY: unknown section '$only' (known: reminder)" >&2
    exit 2
    ;;
esac

bash scripts/setup.sh >&2
cmake --preset native >&2
if [ -z "$only" ]; then
  cmake --build --preset native -j 2 --target parser_benchmark >&2 || true
  cmake --preset win32 >&2
  cmake --build --preset win32 -j 2 --target loxa >&2
fi
cmake --build --preset native -j 2 --target make_reminder_folder >&2
cmake --preset win64 >&2
win64_targets=(loxa-reminder reminder_ack_latency reminder_list_timing folder_io_cost)
[ -n "$only" ] || win64_targets+=(loxa launch_latency windows_parser_throughput)
cmake --build --preset win64 -j 2 --target "${win64_targets[@]}" >&2

echo "# Loxa benchmarks"
echo
echo "Run of $(date -u '+%Y-%m-%d %H:%M UTC'), commit $(git rev-parse --short HEAD 2>/dev/null || echo unknown)."
echo
echo "## Machine"
echo
echo "| | |"
echo "|---|---|"
echo "| CPU | $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2- | sed 's/^ *//') |"
echo "| Cores (nproc) | $(nproc) |"
echo "| RAM | $(awk '/MemTotal/ { printf "%.1f GiB", $2 / 1048576 }' /proc/meminfo) |"
echo "| Debian | $(cat /etc/debian_version 2>/dev/null || echo unknown) |"
echo "| Wine | $(/usr/lib/wine/wine64 --version 2>/dev/null || echo unknown) |"
echo "| mingw-w64 | g++ $(dpkg-query -W -f='${Version}' g++-mingw-w64-x86-64-posix 2>/dev/null), runtime $(dpkg-query -W -f='${Version}' mingw-w64-common 2>/dev/null) |"
echo "| host g++ | $(g++ --version | head -1) |"
echo "| Google Benchmark | $(dpkg-query -W -f='${Version}' libbenchmark-dev 2>/dev/null || echo unknown) |"
echo

if [ -z "$only" ]; then
  echo "## Parser throughput (native)"
  echo
  if [ -x build/native/bin/parser_benchmark ]; then
    build/native/bin/parser_benchmark 2>"$logs/parser_benchmark.log"
  else
    echo "Not run: Google Benchmark (libbenchmark-dev) is not installed."
  fi
  echo
fi

# One freshly booted prefix per bench run, ended (with the virtual display,
# when one was started) however the run ends.
source scripts/virtual-display.sh
export LOXA_WINEPREFIX=$root/build/win64/bench-wineprefix
end_wine() {
  WINEPREFIX=$LOXA_WINEPREFIX /usr/lib/wine/wineserver64 -k 2>/dev/null || true
  stop_virtual_display
}
WINEPREFIX=$LOXA_WINEPREFIX /usr/lib/wine/wineserver64 -k 2>/dev/null || true
rm -rf "$LOXA_WINEPREFIX" "$LOXA_WINEPREFIX.lock"
trap end_wine EXIT
start_virtual_display
# Runs a Windows benchmark in the bench prefix (booted by its first use);
# its Markdown goes to stdout, its log to build/bench/NAME.log.
run_in_wine() {
  local name=$1
  shift
  local status=0
  tests/wine/run-in-wine.sh "build/win64/bin/$name.exe" "$@" 2>"$logs/$name.log" | tr -d '\r' ||
    status=$?
  [ "$status" = 0 ] || echo "Failed (exit $status); see build/bench/$name.log."
}

# Prints the Markdown row of CPU times per start of one window from a perf
# record of its launcher run: per process, task-clock samples of 0.25 ms;
# loxa.exe and the minimal program alternate, the first start of each (the
# warm-up round) is left out, and the kth start of one is paired with the kth
# of the other. A process counts as the program whose name most of its
# samples carry: Wine's helpers started along with the first start keep its
# name for a moment.
cpu_per_start() {
  local window=$1 data=$2
  perf script -i "$data" -F comm,pid 2>/dev/null | awk '
    { pid = $NF; count[pid]++; if ($1 == "loxa.exe") own[pid, "loxa"]++; if ($1 ~ /^minimal_window/) own[pid, "minimal"]++ }
    END {
      for (p in count) {
        if (count[p] < 80) continue
        if (own[p, "loxa"] >= 40) print p, "loxa", count[p] * 0.25
        else if (own[p, "minimal"] >= 40) print p, "minimal", count[p] * 0.25
      }
    }' |
    sort -n | awk -v window="$window" '
    function quantile(values, n, q,    sorted, i, j, t, at, lo) {
      for (i = 1; i <= n; i++) sorted[i] = values[i]
      for (i = 2; i <= n; i++) { t = sorted[i]; for (j = i - 1; j >= 1 && sorted[j] > t; j--) sorted[j + 1] = sorted[j]; sorted[j + 1] = t }
      at = 1 + q * (n - 1); lo = int(at)
      return lo >= n ? sorted[n] : sorted[lo] + (at - lo) * (sorted[lo + 1] - sorted[lo])
    }
    { if (seen[$2]++) { k = ++n[$2]; v[$2, k] = $3 } }
    END {
      m = n["loxa"] < n["minimal"] ? n["loxa"] : n["minimal"]
      for (i = 1; i <= m; i++) { a[i] = v["loxa", i]; b[i] = v["minimal", i]; d[i] = a[i] - b[i] }
      if (m == 0) { printf "| %s | 0 | | | | |\n", window; exit }
      printf "| %s | %d | %.1f ms [%.1f, %.1f] | %.1f ms [%.1f, %.1f] | %.2f | %+.1f ms [%+.1f, %+.1f] |\n", window, m,
        quantile(a, m, 0.5), quantile(a, m, 0.25), quantile(a, m, 0.75),
        quantile(b, m, 0.5), quantile(b, m, 0.25), quantile(b, m, 0.75),
        quantile(a, m, 0.5) / quantile(b, m, 0.5),
        quantile(d, m, 0.5), quantile(d, m, 0.25), quantile(d, m, 0.75)
    }'
}

if [ -z "$only" ]; then
  echo "## Parser throughput of the Windows build (x86_64, under Wine)"
  echo
  run_in_wine windows_parser_throughput
  echo

  echo "## Launch latency under Wine (x86_64 loxa.exe)"
  echo
  document='Z:'$(echo "$root/examples/sample.loxa" | tr / '\\')
  # One launcher run per window. With perf at hand each runs under perf record,
  # which counts every process the launcher starts (task-clock, one sample per
  # 0.25 ms of CPU): each start's CPU time, the quantity that a loaded machine
  # disturbs least.
  use_perf=
  if command -v perf >/dev/null && perf stat -e task-clock true >/dev/null 2>&1; then
    use_perf=1
  fi
  # The prefix's own wineserver (its working folder is named after the
  # prefix's device and inode) and the X server work for each start too: the
  # launcher reads their CPU time before each start and when its window shows.
  server_stats=
  server_dir=$(printf 'server-%x-%x' "$(stat -c %d "$LOXA_WINEPREFIX")" "$(stat -c %i "$LOXA_WINEPREFIX")")
  for pid in $(pgrep -x wineserver64; pgrep -x wineserver); do
    if [ "$(basename "$(readlink "/proc/$pid/cwd" 2>/dev/null)")" = "$server_dir" ]; then
      server_stats="Z:\\proc\\$pid\\schedstat"
    fi
  done
  xvfb_pid=${LOXA_XVFB_PID:-$(pgrep -f "^Xvfb $DISPLAY( |\$)" | head -1 || true)}
  if [ -n "$server_stats" ] && [ -n "$xvfb_pid" ]; then
    export LOXA_BENCH_SERVERS="$server_stats,Z:\\proc\\$xvfb_pid\\schedstat"
  fi
  cpu_rows=
  server_rows=
  for window in box dialog template menu; do
    if [ -n "$use_perf" ]; then
      LOXA_BENCH_WINDOWS=$window perf record -q -e task-clock -c 250000 -o "$logs/$window.perf" -- \
        tests/wine/run-in-wine.sh build/win64/bin/launch_latency.exe "$runs" "$document" \
        2>"$logs/launch_latency.$window.log" | tr -d '\r' >"$logs/$window.md" || true
      cpu_rows+=$(cpu_per_start "$window" "$logs/$window.perf")$'\n'
    else
      LOXA_BENCH_WINDOWS=$window run_in_wine launch_latency "$runs" "$document" >"$logs/$window.md"
    fi
    # The launcher's first table, its header once; the server table's rows.
    awk -v header="$([ "$window" = box ] && echo 1)" 'NF == 0 { exit } header || NR > 2' "$logs/$window.md"
    server_rows+=$(awk -v w="$window" 'index($0, "| " w " |") == 1' "$logs/$window.md")$'\n'
  done
  echo
  if [ -n "${LOXA_BENCH_SERVERS:-}" ]; then
    echo "CPU time of the prefix's wineserver and of the X server from each start to its window:"
    echo
    echo "| Window | loxa.exe (median) | minimal program (median) | difference per round: median [quartiles] |"
    echo "|---|---:|---:|---:|"
    printf '%s' "$server_rows"
    echo
  fi
  if [ -n "$use_perf" ]; then
    echo "CPU time of each start (perf task-clock; the first round not counted):"
    echo
    echo "| Window | Starts | loxa.exe (median) [quartiles] | minimal program (median) [quartiles] | loxa / minimal | difference per round: median [quartiles] |"
    echo "|---|---:|---:|---:|---:|---:|"
    printf '%s' "$cpu_rows"
  else
    echo "CPU time not measured: perf (linux-perf) is not installed or not allowed."
  fi
fi

# loxa-reminder.exe with many reminders kept (LOXA_BENCH_REMINDERS, default
# 10000): the folders are made natively (under Wine every new name in a
# large folder costs a scan of it), the program and the benchmarks run in the
# bench prefix. The program runs once per session, so the acknowledgement
# benchmark starts it in turn on the empty and the full folder.
kept=${LOXA_BENCH_REMINDERS:-10000}
# LOXA_BENCH_REMINDER_FOLDERS puts them elsewhere (a RAM disk, to tell the
# program's own time from the disk's).
folders=${LOXA_BENCH_REMINDER_FOLDERS:-$logs/reminders}
windows_path() { echo "Z:$(echo "$1" | tr / '\\')"; }
rm -rf "$folders"
mkdir -p "$folders/none"
build/native/bin/make_reminder_folder "$folders/many" "$kept" >&2
build/native/bin/make_reminder_folder "$folders/list" "$kept" >&2
echo "## loxa-reminder.exe with $kept reminders kept"
echo
echo "Commit $(git rev-parse --short HEAD 2>/dev/null || echo unknown); load average at the start $(cut -d' ' -f1-3 /proc/loadavg)."
echo
echo "### File calls of one write (x86_64, under Wine)"
echo
# The program writes into the subfolder of a name's last two digits: one of
# them is where a new reminder's file calls land.
run_in_wine folder_io_cost "$(windows_path "$folders/none")" "$(windows_path "$folders/many/00")" 100
echo
echo "### Acknowledgement time"
echo
run_in_wine reminder_ack_latency "$(windows_path "$folders/none")" "$(windows_path "$folders/many")" \
  "${LOXA_BENCH_ACK_ROUNDS:-5}" "${LOXA_BENCH_ACK_POKES:-40}"
echo
echo "### The list"
echo
run_in_wine reminder_list_timing "$(windows_path "$folders/list")" $((kept >= 10000 ? 1000 : kept / 10))
echo
echo "Load average at the end: $(cut -d' ' -f1-3 /proc/loadavg)."
rm -rf "$folders"
end_wine
echo

if [ -z "$only" ]; then
  echo "## Size"
  echo
  echo "| Build | loxa.exe | Imported DLLs | Not in KERNEL32, USER32, ADVAPI32, COMCTL32, msvcrt |"
  echo "|---|---:|---|---|"
  for build in win32:i686 win64:x86_64; do
    preset=${build%%:*}
    arch=${build#*:}
    exe=build/$preset/bin/loxa.exe
    bytes=$(stat -c %s "$exe")
    dlls=$("$arch-w64-mingw32-objdump" -p "$exe" | sed -n 's/^\s*DLL Name: //p')
    others=$(echo "$dlls" | grep -viE '^(kernel32|user32|advapi32|comctl32|msvcrt)\.dll$' | paste -sd, - || true)
    kib=$(awk -v b="$bytes" 'BEGIN { printf "%.1f", b / 1024 }')
    echo "| $preset ($arch) | $bytes bytes ($kib KiB) | $(echo "$dlls" | paste -sd, - | sed 's/,/, /g') | ${others:-none} |"
  done
  echo
  echo "Goal: i686 loxa.exe at most 128 KiB (131072 bytes), importing only system DLLs."
fi
