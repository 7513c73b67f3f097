#!/usr/bin/env bash
# Times `orvraid list luns` from a script, cold (a new orvraid process, so a new provider
# that logs in and reads every volume), against a corvane-sim of 1,000 volumes, and prints
# the median of the runs.
#   bench/vds/list_luns.sh [build-dir] [volumes] [runs]
set -euo pipefail

build=${1:-build}
volumes=${2:-1000}
runs=${3:-5}
address=127.88.250.3

workdir=$(mktemp -d)
"$build/bin/corvane-sim" --address "$address" --user admin --password secret --no-jobs \
    --volumes "$volumes" --volume-mb 64 --disks 16 >"$workdir/sim.log" 2>&1 &
sim_pid=$!
trap 'kill $sim_pid 2>/dev/null; wait $sim_pid 2>/dev/null; rm -rf "$workdir"' EXIT
for _ in $(seq 1 400); do
    grep -q "listening on" "$workdir/sim.log" && break
    kill -0 "$sim_pid" 2>/dev/null || { cat "$workdir/sim.log" >&2; exit 1; }
    sleep 0.05
done

export ORVDS_REGISTRY="$workdir/registry.db"
printf 'add array host=%s user=admin password=secret\n' "$address" >"$workdir/add.txt"
"$build/bin/orvraid" /s "$workdir/add.txt" >/dev/null
printf 'select subsystem 0\nlist luns\n' >"$workdir/list.txt"

times=()
for _ in $(seq 1 "$runs"); do
    start=$(date +%s%N)
    count=$("$build/bin/orvraid" /s "$workdir/list.txt" | grep -cE '^[ *]*LUN [0-9]+')
    end=$(date +%s%N)
    [ "$count" -eq "$volumes" ] || { echo "listed $count LUNs instead of $volumes" >&2; exit 1; }
    times+=($(((end - start) / 1000)))
done
median=$(printf '%s\n' "${times[@]}" | sort -n | sed -n "$(((runs + 1) / 2))p")
awk -v us="$median" -v n="$volumes" 'BEGIN { printf "orvraid list luns, cold, %d LUNs: median %.0f ms\n", n, us / 1000 }'
