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
# Logs land in build/lint. What is kept from one run to the next (clang-tidy's
# clean files, cppcheck's build folder) lives outside the work tree, in
# LOXA_LINT_CACHE (default ~/.cache/loxa/lint), shared by every checkout.
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

# A clean clang-tidy result is kept in $tidy_cache under a key of everything
# it depends on: clang-tidy's version, every .clang-tidy file, the arguments
# and the file as the compiler preprocesses it with its own command (comments
# and macro definitions kept, so a NOLINT or a macro counts). A file whose key
# is kept is not checked again; a finding is never kept.
lint_cache=${LOXA_LINT_CACHE:-$HOME/.cache/loxa/lint}
tidy_cache=$lint_cache/clang-tidy
mkdir -p "$tidy_cache"

# Prints "file key" for each of the repository's entries of a database; the
# remaining arguments are clang-tidy's own and go into the key.
tidy_keys() {
  local database=$1
  shift
  { clang-tidy --version; git ls-files -z -- '*.clang-tidy' | xargs -0 cat; printf '%s\n' "$@"; } |
    sha256sum | cut -c1-64 >"$logs/tidy-identity"
  database_entries "$database" json | python3 -c '
import concurrent.futures, hashlib, json, shlex, subprocess, sys
identity, jobs = open(sys.argv[1]).read(), int(sys.argv[2])
def key(entry):
    args = entry.get("arguments") or shlex.split(entry["command"])
    cleaned, skip = [], False
    for a in args:
        if skip:
            skip = False
        elif a == "-o":
            skip = True
        elif a != "-c":
            cleaned.append(a)
    run = subprocess.run(cleaned + ["-E", "-C", "-dD", "-o", "-"], cwd=entry["directory"],
                         stdout=subprocess.PIPE, stderr=subprocess.DEVNULL)
    if run.returncode != 0:
        return entry["file"], "none"
    digest = hashlib.sha256(identity.encode())
    digest.update(" ".join(args).encode())
    digest.update(run.stdout)
    return entry["file"], digest.hexdigest()
with concurrent.futures.ThreadPoolExecutor(jobs) as pool:
    for file, digest in pool.map(key, json.load(sys.stdin)):
        print(file, digest)
' "$logs/tidy-identity" "$jobs"
}

# Runs clang-tidy on every file of a database whose clean result is not
# kept, `jobs` at a time, and prints the findings of the files that failed.
# clang has no CP932 execution character set; warnings are errors through
# .clang-tidy, not -Werror.
run_clang_tidy() {
  local name=$1 database=$2
  shift 2
  local out=$logs/clang-tidy-$name
  rm -rf "$out" && mkdir -p "$out"
  local args=("--header-filter=^$root/(src|tools|tests|sdk)/" --extra-arg=-fexec-charset=UTF-8
              --extra-arg=-Wno-error "$@")
  tidy_keys "$database/compile_commands.json" "${args[@]}" >"$out/keys"
  local total kept
  total=$(wc -l <"$out/keys")
  kept=0
  while read -r file key; do
    if [ "$key" != none ] && [ -f "$tidy_cache/$key" ]; then
      kept=$((kept + 1))
    else
      printf '%s %s\n' "$file" "$key"
    fi
  done <"$out/keys" >"$out/to-check"
  echo "lint: clang-tidy ($name): $total files, $kept unchanged since a clean check"
  # xargs puts each line's file and key after clang-tidy's arguments.
  LINT_OUT=$out LINT_CACHE=$tidy_cache xargs -r -P "$jobs" -L1 bash -c '
      file=${*: -2:1} key=${*: -1}
      log="$LINT_OUT/$(echo "$file" | tr / _).log"
      if clang-tidy --quiet "${@:1:$#-2}" "$file" >"$log" 2>&1; then
        [ "$key" = none ] || touch "$LINT_CACHE/$key"
      else
        mv "$log" "$log.failed"
      fi
    ' bash -p "$database" "${args[@]}" <"$out/to-check"
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
  # cppcheck's own build folder keeps each file's results until it changes.
  local kept=$lint_cache/cppcheck-$name
  mkdir -p "$kept"
  if cppcheck --project="$logs/cppcheck-$name.json" -j "$jobs" --cppcheck-build-dir="$kept" \
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
