#!/usr/bin/env bash
# check-slurm.sh: tries scripts/slurm-convert.sh on a real one-node Slurm cluster. It installs
# slurm-wlm, munge and jq when missing, starts its own munged, slurmctld and slurmd from a
# one-node configuration in a folder of its own (the machine's CPUs and memory; the system's
# /etc/slurm and /etc/munge are not touched), makes a few hundred small AIFF files (the same
# names in many folders, names alike but for case or a "_1", a name with a line break, and one
# broken file), and runs `slurm-convert.sh --wait --tasks 4` on them. It checks that every source
# has exactly one report line and at most one output, that the broken one failed and the rest
# were converted, that each output holds its source's frames (sox), that the names are those of
# a one-machine run of the same list, and that a re-run with --skip-existing converts nothing.
# It stops the daemons it started; the packages stay installed.
# Needs root (the daemons) and sox; uses $VELMORA_CLI or the build tree's velmora-cli, building
# it (build/, -j2) when there is none. Takes a minute or two. Run it by hand, like
# scripts/check-package.sh.
set -euo pipefail
[[ $(id -u) == 0 ]] || { echo "$0: needs root (packages, the Slurm and munge daemons)" >&2; exit 2; }
repo=$(realpath "$(dirname "$0")/..")
command -v sox >/dev/null || { echo "$0: needs sox (scripts/setup-debian.sh --tests)" >&2; exit 2; }

missing=()
for program in sbatch:slurm-wlm munged:munge jq:jq; do
  command -v "${program%%:*}" >/dev/null || missing+=("${program#*:}")
done
if [[ ${#missing[@]} -gt 0 ]]; then
  echo "== apt-get install ${missing[*]}"
  # The packages' own services are not started: this script runs its own. An existing
  # policy-rc.d (a container's) is left as it is.
  own_policy=0
  if [[ ! -e /usr/sbin/policy-rc.d ]]; then
    printf '#!/bin/sh\nexit 101\n' >/usr/sbin/policy-rc.d
    chmod 755 /usr/sbin/policy-rc.d
    own_policy=1
  fi
  DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends "${missing[@]}" >/dev/null ||
    status=$?
  [[ $own_policy == 1 ]] && rm -f /usr/sbin/policy-rc.d
  [[ ${status:-0} == 0 ]] || exit 1
fi

cli=${VELMORA_CLI:-}
if [[ -z $cli ]]; then
  for candidate in "$repo"/build*/src/velmora-cli; do
    [[ -x $candidate ]] && { cli=$candidate; break; }
  done
fi
if [[ -z $cli ]]; then
  echo "== building velmora-cli in $repo/build"
  cmake -S "$repo" -B "$repo/build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVELMORA_TESTS=OFF \
    -DVELMORA_BENCH=OFF >/dev/null
  cmake --build "$repo/build" -j2 --target velmora-cli >/dev/null
  cli=$repo/build/src/velmora-cli
fi
VELMORA_CLI=$(realpath "$cli")
export VELMORA_CLI
echo "== $("$VELMORA_CLI" --version) ($VELMORA_CLI)"

work=$(mktemp -d /var/tmp/velmora-slurm-check.XXXXXX)
chmod 755 "$work"
pids=()
cleanup() {
  # Only the daemons this script started, by the ids their pid files give.
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  for pid in "${pids[@]}"; do
    for _ in {1..50}; do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
  done
  rm -rf "$work"
}
trap cleanup EXIT
daemon_pid() {  # waits for a daemon's pid file and records its id
  for _ in {1..100}; do
    [[ -s $1 ]] && { pids+=("$(cat "$1")"); return 0; }
    sleep 0.1
  done
  echo "$0: $2 did not start; its log:" >&2
  cat "$3" >&2 || true
  exit 1
}

echo "== munged, slurmctld and slurmd of a one-node cluster in $work"
mkdir -p "$work/munge" "$work/munge-key" "$work/etc" "$work/state" "$work/spool" "$work/log"
# munged wants its socket's folder open to all and its key's folder closed to others.
chown munge: "$work/munge" "$work/munge-key"
chmod 755 "$work/munge"
chmod 700 "$work/munge-key"
dd if=/dev/urandom of="$work/munge-key/munge.key" bs=1024 count=1 status=none
chown munge: "$work/munge-key/munge.key"
chmod 400 "$work/munge-key/munge.key"
socket=$work/munge/munge.socket
runuser -u munge -- munged --socket="$socket" --key-file="$work/munge-key/munge.key" \
  --pid-file="$work/munge/munged.pid" --log-file="$work/munge/munged.log" --seed-file="$work/munge/munged.seed"
daemon_pid "$work/munge/munged.pid" munged "$work/munge/munged.log"

node=$(slurmd -C | head -1)  # NodeName=HOST CPUs=... RealMemory=...: the machine as it is
host=${node#NodeName=}
host=${host%% *}
cat >"$work/etc/slurm.conf" <<EOF
ClusterName=velmoracheck
SlurmctldHost=$host
SlurmUser=root
SlurmdUser=root
AuthType=auth/munge
AuthInfo=socket=$socket
CredType=cred/munge
SlurmctldPort=16817
SlurmdPort=16818
StateSaveLocation=$work/state
SlurmdSpoolDir=$work/spool
SlurmctldPidFile=$work/slurmctld.pid
SlurmdPidFile=$work/slurmd.pid
SlurmctldLogFile=$work/log/slurmctld.log
SlurmdLogFile=$work/log/slurmd.log
ProctrackType=proctrack/linuxproc
TaskPlugin=task/none
SelectType=select/cons_tres
SelectTypeParameters=CR_CPU_Memory
DefMemPerCPU=500
MpiDefault=none
ReturnToService=2
JobAcctGatherType=jobacct_gather/none
AccountingStorageType=accounting_storage/none
$node State=UNKNOWN
PartitionName=check Nodes=$host Default=YES MaxTime=INFINITE State=UP
EOF
export SLURM_CONF=$work/etc/slurm.conf
slurmctld -f "$SLURM_CONF"
daemon_pid "$work/slurmctld.pid" slurmctld "$work/log/slurmctld.log"
slurmd -f "$SLURM_CONF"
daemon_pid "$work/slurmd.pid" slurmd "$work/log/slurmd.log"
for _ in {1..100}; do
  [[ $(sinfo -h -N -o %t 2>/dev/null) == idle ]] && break
  sleep 0.2
done
sinfo -N -o '%N %t %c CPUs %m MB'

echo "== sources"
src=$work/sources
mkdir -p "$src"
# Ten lengths of sound, copied about: the same name in 30 folders, and every output's length is
# known from its source.
for i in {0..9}; do
  sox -n -r 44100 -c 2 -b 16 "$work/tone$i.aiff" synth "0.$((i + 1))" sine $((220 + 40 * i)) 2>/dev/null
done
n=0
for artist in {1..10}; do
  for album in {1..3}; do
    mkdir -p "$src/artist $artist/album $album"
    for track in {01..10}; do
      cp "$work/tone$((n % 10)).aiff" "$src/artist $artist/album $album/track$track.aiff"
      n=$((n + 1))
    done
  done
done
cp "$work/tone1.aiff" "$src/artist 1/Track01.AIFF"
cp "$work/tone2.aiff" "$src/artist 2/track01_1.aiff"
cp "$work/tone3.aiff" "$src/artist 3/.track01.aif"
cp "$work/tone4.aiff" "$src/artist 4/two"$'\n'"lines.aiff"
cp "$work/tone5.aiff" "$src/artist 4/two_lines.aiff"
printf 'FORM\0\0\0\4AIFFbroken' >"$src/artist 5/broken.aiff"
(cd "$work" && find sources -type f -print0 | sort -z) >"$work/list"
total=$(tr -cd '\0' <"$work/list" | wc -c)
echo "$total sources, one of them broken"

# source<TAB>output below its output folder (or -), from a report, sorted; names with a line break
# come out escaped as JSON has them.
mapping() {
  jq -r --arg out "$2/" '[.source, (if .output then .output | ltrimstr($out) else "-" end)] | @tsv' "$1" | sort
}
failures=0
check() {  # check WHAT CONDITION...
  local what=$1
  shift
  if "$@"; then
    echo "ok: $what"
  else
    echo "FAILED: $what" >&2
    failures=$((failures + 1))
  fi
}

echo "== slurm-convert.sh --wait --tasks 4 -0 list out -f wav"
status=0
(cd "$work" && HOME=$work/home "$repo/scripts/slurm-convert.sh" --wait --tasks 4 -0 list out -f wav) || status=$?
runs=("$work"/out/.velmora-slurm/*/)
run=${runs[0]}
report=${run}report.jsonl
lists=$(find "$run" -maxdepth 1 -name 'task-*.list' | wc -l)
check "exit status 1 (a source failed): $status" test "$status" = 1
check "$lists task lists, each with a report" test "$lists" = "$(find "$run" -maxdepth 1 -name 'task-*.jsonl' | wc -l)"
check "one report line for each of the $total sources" \
  test "$(jq -c .source "$report" | sort -u | wc -l)" = "$total" -a "$(wc -l <"$report")" = "$total"
check "the broken source failed: $(jq -r 'select(.outcome == "failed") | .reason' "$report")" \
  test "$(jq -r 'select(.outcome == "failed") | .source' "$report")" = "sources/artist 5/broken.aiff"
converted=$(jq -c 'select(.outcome == "converted") | .output' "$report" | sort)  # JSON: one a line
check "$(wc -l <<<"$converted") converted, each to its own output" \
  test "$(wc -l <<<"$converted")" = $((total - 1)) -a "$(uniq <<<"$converted" | wc -l)" = $((total - 1))
check "the output folder holds exactly the outputs the report names" \
  test "$(find "$work/out" -name '*.wav' -print0 | tr -cd '\0' | wc -c)" = $((total - 1))
wrong=0
while IFS=$'\t' read -r source output; do
  [[ $(soxi -s "$work/$source" 2>/dev/null) == $(soxi -s "$output" 2>/dev/null) ]] || wrong=$((wrong + 1))
done < <(jq -r 'select(.outcome == "converted") | select(.source | test("\n") | not) | [.source, .output] | @tsv' "$report")
check "every output decodes to its source's frame count (sox)" test "$wrong" = 0

echo "== the same list on one machine"
(cd "$work" && HOME=$work/home "$VELMORA_CLI" convert -q -0 --files-from list -o "$work/one" -f wav --report one.jsonl) || true
check "the names are those of the one-machine run" \
  cmp -s <(mapping "$report" "$work/out") <(mapping "$work/one.jsonl" "$work/one")
echo "for example, the sources whose output is named track01*: $(mapping "$report" "$work/out" |
  grep -c $'\ttrack01'), given $(mapping "$report" "$work/out" | grep $'\ttrack01' | cut -f2 | sort -V |
  sed -n '1p;$p' | paste -sd' ' | sed 's/ / to /') across the tasks"

echo "== again with --skip-existing"
status=0
(cd "$work" && HOME=$work/home "$repo/scripts/slurm-convert.sh" --wait --tasks 4 -0 list out -f wav --skip-existing) ||
  status=$?
runs=("$work"/out/.velmora-slurm/*/)
again=${runs[1]}report.jsonl  # the run folders sort by their start time
check "exit status 1 (the broken source again): $status" test "$status" = 1
check "nothing converted, $((total - 1)) skipped" \
  test "$(jq -r .outcome "$again" | sort | uniq -c | awk '{printf "%s %s,", $2, $1}')" = "failed 1,skipped $((total - 1)),"
check "OUTDIR/report.jsonl holds both runs' lines" test "$(wc -l <"$work/out/report.jsonl")" = $((2 * total))

if [[ $failures -gt 0 ]]; then
  echo "== $failures check(s) failed; Slurm's logs:" >&2
  tail -n 20 "$work"/log/*.log "$run"*.out >&2 || true
  exit 1
fi
echo "== slurm check passed"
