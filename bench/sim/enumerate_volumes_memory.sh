#!/usr/bin/env bash
# Wall time and peak resident memory of `orvcim ei` of every volume of a large simulated
# array, for one or more orvcim programs against the same corvane-sim (median of the runs).
# The reply grows with the volumes; orvcim's memory should not.
#   bench/sim/enumerate_volumes_memory.sh [build-dir] [volumes] [runs] [orvcim ...]
# Example, before and after a change, on a 50,000-volume array:
#   flock /work/.testlock bench/sim/enumerate_volumes_memory.sh build 50000 5 old/orvcim build/bin/orvcim
set -euo pipefail

build=${1:-build}
volumes=${2:-10000}
runs=${3:-5}
shift $(($# < 3 ? $# : 3))
programs=("$@")
[ ${#programs[@]} -gt 0 ] || programs=("$build/bin/orvcim")
address=127.96.1.1
[ -x /usr/bin/time ] || { echo "/usr/bin/time is not installed (Debian package time)" >&2; exit 1; }

workdir=$(mktemp -d "${TMPDIR:-/tmp}/orvcim-memory.XXXXXX")
# Small volumes, so that many fit on the default disks.
"$build/bin/corvane-sim" --address "$address" --user admin --password secret --no-jobs \
    --volumes "$volumes" --volume-mb 16 >"$workdir/sim.log" 2>&1 &
sim_pid=$!
trap 'kill $sim_pid 2>/dev/null; wait $sim_pid 2>/dev/null; rm -rf "$workdir"' EXIT
for _ in $(seq 1 1200); do
    grep -q "listening on" "$workdir/sim.log" && break
    kill -0 "$sim_pid" 2>/dev/null || { cat "$workdir/sim.log" >&2; exit 1; }
    sleep 0.05
done

url="http://admin:secret@$address:5988/root/snia:CIM_StorageVolume"

median() { sort -n | sed -n "$(((runs + 1) / 2))p"; }

echo "orvcim ei of $volumes volumes, median of $runs runs (load: $(cut -d' ' -f1-3 /proc/loadavg)):"
for program in "${programs[@]}"; do
    walls=() rss=()
    for _ in $(seq 1 "$runs"); do
        /usr/bin/time -f '%e %M' -o "$workdir/time" "$program" --timeout 600000 ei "$url" >"$workdir/out"
        count=$(grep -cE '(^|[ ,])ElementName[ =]' "$workdir/out")
        [ "$count" -eq "$volumes" ] || { echo "$program printed $count volumes instead of $volumes" >&2; exit 1; }
        read -r wall kb <"$workdir/time"
        walls+=("$wall") rss+=("$kb")
    done
    wall=$(printf '%s\n' "${walls[@]}" | median)
    kb=$(printf '%s\n' "${rss[@]}" | median)
    printf '  %-40s %8.2f s %8.1f MB peak RSS (%s MB of output)\n' "$program" "$wall" "$(echo "$kb / 1024" | bc -l)" \
        "$(($(stat -c %s "$workdir/out") / 1048576))"
done
