#!/usr/bin/env bash
# Runs clang-tidy with the repository's .clang-tidy over our sources, using the compile commands
# of a configured build tree (default: build). Any finding fails the run.
# Usage: scripts/tidy.sh [-p BUILD] [--changed GIT-REF | FILE...]
#   no files: every .cpp below src/; --changed REF: the .cpp files under src/ that differ from REF.
set -euo pipefail
cd "$(dirname "$0")/.."
build=build
if [[ "${1:-}" == "-p" ]]; then build=$2; shift 2; fi

# The file list's selection is a flag per row; Qt's own readers see only the part mirrored for
# assistive tools. The window reads it through FileSelectionModel::Selected and SelectedRows. A
# line that means another selection (a text cursor's) says so with "selection-reader-ok".
if readers=$(grep -rnE '\b(selectedRows|isSelected|hasSelection|clearSelection)\(' src/ui |
  grep -v -e 'selection-reader-ok' -e '^[^:]*:[0-9]*: *//'); then
  echo "tidy: Qt's selection readers see only the mirrored part of the file list's selection:" >&2
  echo "$readers" >&2
  exit 1
fi
if [[ ! -f "$build/compile_commands.json" ]]; then
  echo "tidy: $build/compile_commands.json is missing; configure the build first" >&2
  exit 2
fi
if [[ "${1:-}" == "--changed" ]]; then
  mapfile -t files < <(git diff --name-only --diff-filter=d "$2" -- 'src/*.cpp')
elif (($#)); then
  files=("$@")
else
  mapfile -t files < <(find src -name '*.cpp' | sort)
fi
if ((${#files[@]} == 0)); then
  echo "tidy: nothing to check"
  exit 0
fi
echo "tidy: checking ${#files[@]} file(s)"
# The build uses GCC, whose warning flags clang does not all know.
printf '%s\0' "${files[@]}" |
  xargs -0 -n 4 -P "$(nproc)" clang-tidy -p "$build" --quiet --extra-arg=-Wno-unknown-warning-option \
    2> >(grep -v -e '^[0-9]* warnings\? generated' -e '^Suppressed' -e '^Use -header-filter' >&2)
echo "tidy: no findings"
