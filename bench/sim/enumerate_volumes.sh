#!/usr/bin/env bash
# Times EnumerateInstances of every volume of a large simulated array with orvcim and with
# Debian's wbemcli, against the same corvane-sim, and prints the median of each.
#   bench/sim/enumerate_volumes.sh [build-dir] [volumes] [runs]
set -euo pipefail

build=${1:-build}
volumes=${2:-10000}
runs=${3:-11}
address=127.0.0.213
command -v wbemcli >/dev/null || { echo "wbemcli is not installed (scripts/setup installs it)" >&2; exit 1; }

workdir=$(mktemp -d)
"$build/bin/corvane-sim" --address "$address" --user admin --password secret --no-jobs \
    --volumes "$volumes" --volume-mb 64 >"$workdir/sim.log" 2>&1 &
sim_pid=$!
trap 'kill $sim_pid 2>/dev/null; wait $sim_pid 2>/dev/null; rm -rf "$workdir"' EXIT
for _ in $(seq 1 400); do
    grep -q "listening on" "$workdir/sim.log" && break
    kill -0 "$sim_pid" 2>/dev/null || { cat "$workdir/sim.log" >&2; exit 1; }
    sleep 0.05
done

url="http://admin:secret@$address:5988/root/snia:CIM_StorageVolume"

# Median wall time in milliseconds of `runs` runs of the command; checks the count each time.
median_ms() {
    local times=()
    for _ in $(seq 1 "$runs"); do
        local start end count
        start=$(date +%s%N)
        count=$("$@" | grep -cE '(^|[ ,])ElementName[ =]')
        end=$(date +%s%N)
        [ "$count" -eq "$volumes" ] || { echo "$1 returned $count volumes instead of $volumes" >&2; exit 1; }
        times+=($(((end - start) / 1000)))
    done
    printf '%s\n' "${times[@]}" | sort -n | sed -n "$(((runs + 1) / 2))p" | awk '{ printf "%.1f", $1 / 1000 }'
}

orvcim_ms=$(median_ms "$build/bin/orvcim" ei "$url")
wbemcli_ms=$(median_ms wbemcli ei "$url")
echo "EnumerateInstances of $volumes volumes, median of $runs runs (wall time, whole program):"
echo "  orvcim : $orvcim_ms ms"
echo "  wbemcli: $wbemcli_ms ms"
awk -v a="$orvcim_ms" -v b="$wbemcli_ms" 'BEGIN { printf "  orvcim is %.1f times faster\n", b / a }'
