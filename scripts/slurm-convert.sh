#!/usr/bin/env bash
# slurm-convert.sh [--wait] [--tasks N] [--cpus N] [-0] LIST OUTDIR [velmora-cli convert options]
#
# Converts the sources listed in LIST (one path a line; NUL-separated with -0) into OUTDIR with a
# Slurm job array of N tasks (default 4); each task runs
#   velmora-cli convert --files-from ITS_LIST -0 -o OUTDIR --report ITS_REPORT -j CPUS [options]
# on its share of the list. The machines must see LIST's paths and OUTDIR at the same places
# (a shared file system); relative paths are taken from the folder the script is started in.
#
# Splitting: every source goes to exactly one task, chosen by a hash of its file name without
# the extension, case-folded, with what output names make alike made alike (control characters,
# "_" and "." dropped, a trailing "_N" number dropped, only the first 100 bytes counted). Sources
# whose output names could collide therefore fall to the same task, which keeps LIST's order,
# so a name's numbered forms (x.mp3, x_1.mp3) go to the same sources as in a one-machine run of
# the same list, whichever task runs first. That holds for the default name pattern in one flat
# OUTDIR, for {path}/{name}, {folder}/{name}, --mirror and outputs next to their sources; a
# pattern built only from tags ({artist}/{title}) can still give two tasks the same name, and
# the numbers then depend on which task gets there first. A folder in LIST goes whole to one task.
#
# The work folder OUTDIR/.velmora-slurm/RUN (RUN: the start time and the script's process id)
# holds each task's list (task-K.list), report (task-K.jsonl), exit status (task-K.status) and
# Slurm log (slurm-JOB_K.out), and the job script (task.sh).
# With --wait the script waits for the array (sbatch --wait), merges the task reports into
# RUN/report.jsonl and appends them to OUTDIR/report.jsonl (never replaced: each run adds its
# lines), and exits 0 when every source was converted or skipped, 1 when some source failed,
# 3 when a task did not finish (killed, out of time: a re-run with --skip-existing finishes its
# work); 2 is a usage error. Without --wait it prints the job's id and the work folder and exits.
#
# velmora-cli is $VELMORA_CLI, else the one on PATH, else the one in this checkout's build tree.
# --cpus N asks Slurm for N CPUs a task (sbatch --cpus-per-task), and -j follows
# SLURM_CPUS_PER_TASK. Other sbatch settings come from its environment (SBATCH_PARTITION,
# SBATCH_TIMELIMIT, SBATCH_ACCOUNT, ...). The tasks start from the saved settings of the user's
# home as the machines see it: give the options that matter on the command line.
set -euo pipefail
self=$(basename "$0")
usage() {
  echo "usage: $self [--wait] [--tasks N] [--cpus N] [-0] LIST OUTDIR [velmora-cli convert options]" >&2
  exit 2
}
fail() {
  echo "$self: $*" >&2
  exit 2
}

wait=0 tasks=4 cpus='' nul=0
while [[ $# -gt 0 ]]; do
  case $1 in
    --wait) wait=1 ;;
    --tasks) [[ $# -ge 2 ]] || usage; tasks=$2; shift ;;
    --tasks=*) tasks=${1#*=} ;;
    --cpus) [[ $# -ge 2 ]] || usage; cpus=$2; shift ;;
    --cpus=*) cpus=${1#*=} ;;
    -0 | --null) nul=1 ;;
    -h | --help) sed -n '2,/^set -euo/p' "$0" | sed '$d; s/^# \{0,1\}//' >&2; exit 0 ;;
    --) shift; break ;;
    -*) fail "unknown option '$1' (velmora-cli's options come after LIST and OUTDIR)" ;;
    *) break ;;
  esac
  shift
done
[[ $# -ge 2 ]] || usage
list=$1 outdir=$2
shift 2
options=("$@")
[[ $tasks =~ ^[1-9][0-9]{0,3}$ ]] || fail "--tasks: expected a number from 1 to 9999, got '$tasks'"
[[ -z $cpus || $cpus =~ ^[1-9][0-9]{0,2}$ ]] || fail "--cpus: expected a number from 1 to 999, got '$cpus'"
[[ -f $list && -r $list ]] || fail "cannot read the list $list"
for option in "${options[@]}"; do
  case $option in
    -o | --output-dir | --output-dir=* | -o?* | --files-from | --files-from=* | --report | --report=* | -0 | --null)
      fail "$option is the script's to give (LIST, OUTDIR, -0); leave it out" ;;
  esac
done
if [[ $nul == 0 && $(tr -d '\0' <"$list" | wc -c) != $(wc -c <"$list") ]]; then
  fail "$list: the names are separated by NUL bytes; read them with -0"
fi
command -v sbatch >/dev/null || fail "sbatch not found: this needs a Slurm cluster"

cli=${VELMORA_CLI:-$(command -v velmora-cli || true)}
if [[ -z $cli ]]; then
  for candidate in "$(dirname "$0")"/../build*/src/velmora-cli; do
    [[ -x $candidate ]] && { cli=$candidate; break; }
  done
fi
[[ -n $cli && -x $cli ]] || fail "velmora-cli not found: set VELMORA_CLI, put it on PATH or build it"
cli=$(realpath "$cli")

mkdir -p "$outdir"
outdir=$(realpath "$outdir")
# The options are tried once here, on an empty list, so that a usage error stops the run before
# any task starts rather than in every task.
status=0
check=$("$cli" convert -q --files-from /dev/null -0 -o "$outdir" "${options[@]}" 2>&1) || status=$?
[[ $status == 2 ]] && { echo "$check" >&2; exit 2; }

work=$outdir/.velmora-slurm/$(date -u +%Y%m%dT%H%M%SZ)-$$
mkdir -p "$work"

# The split: NUL-separated lists whatever LIST's separator, so any name travels as it is. A line
# list loses a carriage return at a line's end, as velmora-cli's own --files-from does.
LC_ALL=C awk -v n="$tasks" -v dir="$work" -v nul="$nul" '
  BEGIN {
    RS = nul == 1 ? "\0" : "\n"
    ORS = "\0"
    for (i = 1; i < 256; i++) code[sprintf("%c", i)] = i
  }
  {
    path = $0
    if (nul != 1) sub(/\r$/, "", path)
    if (path == "") next
    name = path
    sub(/.*\//, "", name)
    if (match(name, /\.[^.]*$/) && RSTART > 1) name = substr(name, 1, RSTART - 1)
    key = tolower(name)
    while (sub(/_[0-9]+$/, "", key)) {}
    gsub(/[\001-\037\177_.]/, "", key)
    gsub(/\302[\200-\237]|\330\234|\342\200[\216\217\250-\256]|\342\201[\246-\251]/, "", key)
    key = substr(key, 1, 100)
    hash = 5381
    for (i = 1; i <= length(key); i++) hash = (hash * 33 + code[substr(key, i, 1)]) % 4294967296
    print path > (dir "/part-" (hash % n + 1))
  }' "$list"

# Tasks are numbered from 1 over the parts that got any source.
count=0 sources=0
for ((k = 1; k <= tasks; k++)); do
  [[ -s $work/part-$k ]] || continue
  count=$((count + 1))
  mv "$work/part-$k" "$work/task-$count.list"
  sources=$((sources + $(tr -cd '\0' <"$work/task-$count.list" | wc -c)))
done
[[ $count -gt 0 ]] || { rmdir "$work" 2>/dev/null || true; fail "$list lists no paths"; }

# shellcheck disable=SC2016 # the job script's own expansions, written as they are
{
  echo '#!/usr/bin/env bash'
  echo '# One task of a velmora-cli job array; its exit status is kept beside its report.'
  printf 'work=%q\n' "$work"
  echo 'id=${SLURM_ARRAY_TASK_ID:?not run as a Slurm array task}'
  printf '%q convert -q --files-from "$work/task-$id.list" -0 -o %q --report "$work/task-$id.jsonl" -j "${SLURM_CPUS_PER_TASK:-1}"' \
    "$cli" "$outdir"
  [[ ${#options[@]} -gt 0 ]] && printf ' %q' "${options[@]}"
  echo
  echo 'status=$?'
  echo 'echo "$status" >"$work/task-$id.status"'
  echo 'exit "$status"'
} >"$work/task.sh"
chmod +x "$work/task.sh"

submit=(sbatch --parsable --job-name=velmora-convert --array="1-$count" --chdir="$PWD"
  --output="$work/slurm-%A_%a.out")
[[ -n $cpus ]] && submit+=(--cpus-per-task="$cpus")
if [[ $wait == 0 ]]; then
  job=$("${submit[@]}" "$work/task.sh")
  echo "job $job: $sources source(s) in $count task(s); lists, reports and logs in $work"
  exit 0
fi

echo "$self: $sources source(s) in $count task(s); lists, reports and logs in $work" >&2
# sbatch --wait ends with the highest exit status of the tasks; each task's own is read below.
"${submit[@]}" --wait "$work/task.sh" >"$work/job-id" || true

unfinished=0
: >"$work/report.jsonl"
for ((k = 1; k <= count; k++)); do
  listed=$(tr -cd '\0' <"$work/task-$k.list" | wc -c)
  reported=0
  if [[ -f $work/task-$k.jsonl ]]; then
    reported=$(wc -l <"$work/task-$k.jsonl")
    cat "$work/task-$k.jsonl" >>"$work/report.jsonl"
  fi
  status=$(cat "$work/task-$k.status" 2>/dev/null || echo none)
  # velmora-cli ends with 0 or 1 when it went through its list; a cancelled source means it
  # was stopped (a time limit's signal), and a list it did not get through means it was killed.
  if [[ $status != 0 && $status != 1 ]] || [[ $reported -lt $listed ]] ||
    grep -q '"outcome":"cancelled"' "$work/task-$k.jsonl" 2>/dev/null; then
    echo "$self: task $k did not finish (exit status $status, $reported of $listed source(s) reported;" \
      "log: $work/slurm-$(cat "$work/job-id")_$k.out)" >&2
    unfinished=1
  fi
done
cat "$work/report.jsonl" >>"$outdir/report.jsonl"
converted=$(grep -c '"outcome":"converted"' "$work/report.jsonl" || true)
skipped=$(grep -c '"outcome":"skipped"' "$work/report.jsonl" || true)
failed=$(grep -c '"outcome":"failed"' "$work/report.jsonl" || true)
echo "$self: $converted converted, $skipped skipped, $failed failed; report: $work/report.jsonl" \
  "(also appended to $outdir/report.jsonl)" >&2
[[ $unfinished == 1 ]] && exit 3
[[ $failed -gt 0 ]] && exit 1
exit 0
