#!/usr/bin/env bash
# Static analysis of every C and C++ file in the repository:
#  - clang-format: the code follows .clang-format;
#  - clang-tidy (.clang-tidy, tests/.clang-tidy): the platform-free core and
#    its unit tests with the native compile database; the Win32 shell, tools
#    and Wine tests with the win64 one, parsed against the mingw-w64 headers;
#  - cppcheck (.cppcheck-suppressions): the same two databases, the second as
#    a win64 program with cppcheck's Windows library.
# Every step runs; the script names the ones that failed and exits non-zero.
# LOXA_LINT_JOBS sets the parallel clang-tidy and cppcheck jobs (default 2).
# Logs land in build/lint.
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
jobs=${LOXA_LINT_JOBS:-2}
logs=$root/build/lint
mkdir -p "$logs"
failed=()
started=$SECONDS

# Every C/C++ file of the tree, committed or new (ignored ones aside).
mapfile -t sources < <(git ls-files --cached --others --exclude-standard -- '*.c' '*.cpp' '*.h' |
                       sort -u | while read -r f; do [ -f "$f" ] && echo "$f"; done)
echo "lint: ${#sources[@]} files"

# --- clang-format ---------------------------------------------------------------
if clang-format --dry-run --Werror "${sources[@]}" 2>"$logs/clang-format.log"; then
  echo "lint: clang-format clean"
else
  grep -oE '^[^ :]+:[0-9]+:[0-9]+: error' "$logs/clang-format.log" | cut -d: -f1 | sort | uniq -c
  echo "lint: clang-format FAILED in the files above (clang-format -i FILE...; details in $logs/clang-format.log)"
  failed+=(clang-format)
fi

# --- compile databases ----------------------------------------------------------
# Configuring writes compile_commands.json; nothing needs to be built.
for preset in native win64; do
  if ! cmake --preset "$preset" >"$logs/configure-$preset.log" 2>&1; then
    cat "$logs/configure-$preset.log"
    echo "lint: cmake --preset $preset FAILED"
    exit 1
  fi
done

# The repository's own entries of a compile database (GoogleTest's aside):
# their file names, or with "json" a database of just those entries.
database_entries() {
  python3 -c '
import json, sys
root, database, form = sys.argv[1] + "/", sys.argv[2], sys.argv[3]
entries, seen = [], set()
for e in json.load(open(database)):
    # One entry per file: a file built into several targets is checked once.
    if e["file"].startswith(root) and not e["file"][len(root):].startswith("build/") \
            and e["file"] not in seen:
        seen.add(e["file"])
        entries.append(e)
if form == "json":
    json.dump(entries, sys.stdout, indent=1)
else:
    print("\n".join(e["file"] for e in entries))
' "$root" "$1" "$2"
}

# clang parses the mingw build with the mingw C++ library and Windows headers
# that g++ itself uses; g++'s own intrinsics folders are left to clang's.
mingw_include_args() {
  x86_64-w64-mingw32-g++-posix -E -x c++ - -v </dev/null 2>&1 |
    sed -n '/#include <...> search starts here/,/End of search list/p' | sed -n 's/^ //p' |
    while read -r dir; do
      dir=$(realpath -m "$dir")
      case "$dir" in
        /usr/lib/gcc/*/include | /usr/lib/gcc/*/include-fixed) ;;
        *) echo "--extra-arg=-isystem$dir" ;;
      esac
    done
}

# Runs clang-tidy on every file of a database, `jobs` at a time, and prints
# the findings of the files that failed. clang has no CP932 execution
# character set; warnings are errors through .clang-tidy, not -Werror.
run_clang_tidy() {
  local name=$1 database=$2
  shift 2
  local out=$logs/clang-tidy-$name
  rm -rf "$out" && mkdir -p "$out"
  database_entries "$database/compile_commands.json" files |
    LINT_OUT=$out xargs -r -P "$jobs" -I{} sh -c '
      log="$LINT_OUT/$(echo "$1" | tr / _).log"
      shift
      clang-tidy --quiet "$@" >"$log" 2>&1 || mv "$log" "$log.failed"
    ' sh {} -p "$database" "--header-filter=^$root/(src|tools|tests|sdk)/" \
      --extra-arg=-fexec-charset=UTF-8 --extra-arg=-Wno-error "$@" {}
  if ls "$out"/*.failed >/dev/null 2>&1; then
    grep -h -E '(warning|error):' "$out"/*.failed | sort -u | head -n 100
    echo "lint: clang-tidy ($name) FAILED in $(ls "$out"/*.failed | wc -l) files; logs in $out"
    failed+=("clang-tidy $name")
  else
    echo "lint: clang-tidy ($name) clean"
  fi
}

start=$SECONDS
run_clang_tidy native build/native
mapfile -t mingw_args < <(mingw_include_args)
run_clang_tidy win64 build/win64 --extra-arg=--target=x86_64-w64-mingw32 "${mingw_args[@]}"
echo "lint: clang-tidy took $((SECONDS - start)) s"

# --- cppcheck -------------------------------------------------------------------
run_cppcheck() {
  local name=$1 database=$2
  shift 2
  local log=$logs/cppcheck-$name.log
  database_entries "$database/compile_commands.json" json >"$logs/cppcheck-$name.json"
  mkdir -p "$logs/cppcheck-$name-cache"
  if cppcheck --project="$logs/cppcheck-$name.json" -j "$jobs" --cppcheck-build-dir="$logs/cppcheck-$name-cache" \
       --enable=warning,style,performance,portability --std=c++17 --inline-suppr \
       --suppressions-list="$root/.cppcheck-suppressions" --error-exitcode=1 --quiet \
       --template='{file}:{line}:{column}: {severity}: {message} [{id}]' "$@" >"$log" 2>&1; then
    echo "lint: cppcheck ($name) clean"
  else
    head -n 100 "$log"
    echo "lint: cppcheck ($name) FAILED; log in $log"
    failed+=("cppcheck $name")
  fi
}

start=$SECONDS
run_cppcheck native build/native --platform=unix64 --library=googletest
run_cppcheck win64 build/win64 --platform=win64 --library=windows,googletest
run_cppcheck win32 build/win64 --platform=win32A --library=windows,googletest
echo "lint: cppcheck took $((SECONDS - start)) s"

echo "lint: took $((SECONDS - started)) s"
if [ ${#failed[@]} -gt 0 ]; then
  echo "lint: FAILED: ${failed[*]}"
  exit 1
fi
echo "lint: all clean"
