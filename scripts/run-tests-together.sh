#!/usr/bin/env bash
# Runs a Windows build's ctest tests with one process per test program:
#   scripts/run-tests-together.sh BUILD_DIR [ctest arguments that select tests]
# ctest starts the test program once per test. Where starting a Wine process
# costs seconds (the 32-bit lane's emulated machine: 10 to 20 s each), that
# is most of the run, so here each program runs once, with all its selected
# tests, as a GoogleTest program normally runs. A test that did not pass
# there (failed, or never reported because its process ended or hung) runs
# once more on its own through ctest, in a process of its own, to tell a
# test that fails from one that is flaky: a fault fails both times. A test
# that passed only on its own is reported as flaky and fails the run all the
# same, unless it is one of the known platform flakes below.
#   LOXA_TEST_TIMEOUT  seconds per test (900); a program's process gets that
#                      times its number of tests
# Exits non-zero when a test failed on its own too, when one passed only on
# its own, or when none was selected.
set -uo pipefail
build=$(cd "$1" && pwd)
shift
root=$(cd "$(dirname "$0")/.." && pwd)
timeout_s=${LOXA_TEST_TIMEOUT:-900}

# Tests whose second run does not fail the run: one line each, a ctest name,
# then the Wine behaviour that makes it fail now and then. A flake of our own
# is a defect to find, never a line here; the list is meant to stay empty.
known_flakes=(
)
logs=$build/test-logs
rm -rf "$logs"
mkdir -p "$logs"

# The selected tests' ctest names ("wine.Suite.Test"), in ctest's order.
mapfile -t selected < <(ctest --test-dir "$build" -N "$@" | sed -n 's/^ *Test *#[0-9]*: //p')
if [ ${#selected[@]} -eq 0 ]; then
  echo "run-tests-together: no test selected"
  exit 1
fi

# Each test's program, from the lists that ctest's test discovery wrote:
# add_test([=[NAME]=]  .../run-in-wine.sh PROGRAM [==[--gtest_filter=...]==] ...
declare -A program
while read -r name exe; do
  program[$name]=$exe
done < <(sed -n 's/^add_test(\[=\[\([^]]*\)\]=\] *[^ ]*run-in-wine\.sh \([^ ]*\) .*/\1 \2/p' \
           "$build"/tests/*/*_tests.cmake)

# The programs in order of first appearance, each with its gtest names.
groups=()
declare -A members prefix
for name in "${selected[@]}"; do
  exe=${program[$name]:-}
  if [ -z "$exe" ]; then
    echo "run-tests-together: no program known for $name"
    exit 1
  fi
  prefix[$exe]=${name%%.*}
  [ -n "${members[$exe]+set}" ] || groups+=("$exe")
  members[$exe]+="${members[$exe]:+:}${name#*.}"
done

again=()
passed=0
skipped=0
for exe in "${groups[@]}"; do
  filter=${members[$exe]}
  count=$(tr ':' '\n' <<<"$filter" | wc -l)
  log=$logs/$(basename "$exe" .exe).log
  started=$(date +%s)
  timeout --kill-after=30 "$((timeout_s * count))" \
    "$root/tests/wine/run-in-wine.sh" "$exe" "--gtest_filter=$filter" \
    --gtest_also_run_disabled_tests </dev/null >"$log" 2>&1
  result=$?
  done_ok=$(sed -n 's/^\[       OK \] \([^ ]*\) .*/\1/p' "$log")
  done_skip=$(sed -n 's/^\[  SKIPPED \] \([^ ]*\) .*/\1/p' "$log")
  left=()
  for test in $(tr ':' ' ' <<<"$filter"); do
    if grep -qxF "$test" <<<"$done_ok"; then
      passed=$((passed + 1))
    elif grep -qxF "$test" <<<"$done_skip"; then
      skipped=$((skipped + 1))
      echo "run-tests-together: skipped ${prefix[$exe]}.$test: $(grep -B1 -F "[  SKIPPED ] $test (" "$log" | head -n 1)"
    else
      left+=("${prefix[$exe]}.$test")
    fi
  done
  echo "run-tests-together: $(basename "$exe"): $count tests in $(($(date +%s) - started)) s (exit $result)${left[*]:+, to run again: ${left[*]}}"
  if [ ${#left[@]} -gt 0 ]; then
    # What each of them printed, or the end of the log where one never ended.
    for test in "${left[@]}"; do
      awk -v run="[ RUN      ] ${test#*.}" '$0 == run { on = 1; print; next }
        on && /^\[ RUN |^\[(----------|==========)\]/ { exit }
        on { print; if (++n == 60) exit }' "$log"
    done
    tail -n 5 "$log"
    again+=("${left[@]}")
  fi
done

failed=()
flaky=()
excused=()
for name in "${again[@]}"; do
  if ! ctest --test-dir "$build" --output-on-failure --timeout "$timeout_s" -R "^${name//./\\.}\$"; then
    failed+=("$name")
    continue
  fi
  reason=
  for ((i = 0; i < ${#known_flakes[@]}; i += 2)); do
    [ "${known_flakes[i]}" = "$name" ] && reason=${known_flakes[i + 1]}
  done
  if [ -n "$reason" ]; then
    excused+=("$name")
    echo "run-tests-together: flaky, known: $name: $reason"
  else
    flaky+=("$name")
    echo "run-tests-together: flaky: $name failed with the others and passed on its own"
  fi
done
echo "run-tests-together: ${#selected[@]} tests: $passed passed, $skipped skipped, ${#again[@]} run again on their own, ${#failed[@]} failed${failed[*]:+: ${failed[*]}}, $((${#flaky[@]} + ${#excused[@]})) flaky${flaky[*]:+: ${flaky[*]}}${excused[*]:+ (known: ${excused[*]})}"
[ ${#failed[@]} -eq 0 ] && [ ${#flaky[@]} -eq 0 ]
