# Sourced by the *_vs_peers.sh benchmarks with their arguments: the velmora-cli of BUILD_DIR ($1,
# default build) in $cli; a scratch folder, removed on exit, as the working folder ($work); its own
# HOME, so that saved settings do not change the figures; and `best` for the best of 3 runs.
set -euo pipefail
build=${1:-build}
cli=$(realpath "$build/src/velmora-cli")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"
export HOME="$work/home"
mkdir -p "$HOME"

best() {  # best LABEL CLEAN COMMAND...: best wall-clock seconds; CLEAN (a pattern) goes between runs
  local name=$1 clean=$2; shift 2
  local best=999999 t
  for _ in 1 2 3; do
    rm -rf $clean
    /usr/bin/time -o "$work/time.txt" -f "%e" "$@" >/dev/null 2>&1
    t=$(tail -n 1 "$work/time.txt")
    best=$(echo "$t $best" | awk '{print ($1 < $2) ? $1 : $2}')
  done
  printf "  %-28s %7.2f s\n" "$name" "$best"
}
