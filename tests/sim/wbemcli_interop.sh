#!/usr/bin/env bash
# Runs Debian's wbemcli against corvane-sim and checks the answers.
#   wbemcli_interop.sh <corvane-sim> <case>
# Each case starts a simulator of its own on a loopback address derived from the process
# id, so cases can run side by side.
set -euo pipefail

sim=$1
case_name=$2
command -v wbemcli >/dev/null || { echo "wbemcli is not installed (scripts/setup installs it)"; exit 1; }

address="127.$((100 + $$ % 100)).$(($$ / 100 % 250)).$((2 + $$ / 25000 % 250))"
workdir=$(mktemp -d)
"$sim" --address "$address" --user admin --password secret --no-jobs >"$workdir/sim.log" 2>&1 &
sim_pid=$!
cleanup() {
    kill "$sim_pid" 2>/dev/null || true
    wait "$sim_pid" 2>/dev/null || true
    rm -rf "$workdir"
}
trap cleanup EXIT

for _ in $(seq 1 100); do
    grep -q "listening on" "$workdir/sim.log" && break
    kill -0 "$sim_pid" 2>/dev/null || { cat "$workdir/sim.log"; exit 1; }
    sleep 0.05
done

url="http://admin:secret@$address:5988/root/snia"
# The path of the first instance of a class, as wbemcli takes it after the namespace.
first_path() {
    wbemcli ein "$url:$1" >"$workdir/paths"
    sed -n '1s/^[^:]*:[0-9]*\/root\/snia//p' "$workdir/paths"
}
system=$(first_path CIM_ComputerSystem)

fail() {
    echo "FAILED: $*"
    exit 1
}

expect_count() { # expected, description, output
    local count
    count=$(printf '%s' "$3" | grep -c . || true)
    [ "$count" -eq "$1" ] || fail "$2: $count lines instead of $1"$'\n'"$3"
}

expect_match() { # pattern, description, output
    printf '%s' "$3" | grep -q -- "$1" || fail "$2: no match for $1"$'\n'"$3"
}

case "$case_name" in
ein)
    out=$(wbemcli ein "$url:CIM_ComputerSystem")
    expect_count 3 "computer systems" "$out"
    expect_match 'Name="CVN-[0-9A-F]*"$' "top system first" "$(printf '%s\n' "$out" | sed -n 1p)"
    ;;
ei)
    out=$(wbemcli ei "$url:CIM_StorageVolume")
    expect_count 2 "volumes" "$out"
    expect_match 'ElementName="vol001"' "first volume" "$out"
    expect_match 'BlockSize=512' "block size" "$out"
    out=$(wbemcli ei "$url:CIM_StorageExtent")
    expect_count 12 "extents of every kind (subclasses included)" "$out"
    ;;
gi)
    out=$(wbemcli gi "$url:CIM_StorageVolume.DeviceID=\"3a000002\"")
    expect_match 'ElementName="vol002"' "volume by its identifying key" "$out"
    out=$(wbemcli gi "$url:Merrow_FirmwareImagesInfo.InstanceID=\"Merrow:Firmware.A\"")
    expect_match 'ActiveImageVersion="2.8.2.2"' "firmware version" "$out"
    if wbemcli gi "$url:CIM_StorageVolume.DeviceID=\"3a0000ff\"" 2>"$workdir/err"; then
        fail "a missing volume was found"
    fi
    expect_match "(6)" "missing volume" "$(cat "$workdir/err")"
    ;;
ai)
    out=$(wbemcli ai -ac CIM_SystemDevice -arc CIM_DiskDrive "$url$system")
    expect_count 8 "disks of the array" "$out"
    expect_match 'SlotNumber=1' "disk slots" "$out"
    ;;
ain)
    out=$(wbemcli ain -ac CIM_ComponentCS -arc CIM_ComputerSystem "$url$system")
    expect_count 2 "controllers" "$out"
    leaf=$(first_path Merrow_LeafExtent)
    out=$(wbemcli ain -ac CIM_BasedOn -arc CIM_StorageExtent "$url$leaf")
    expect_count 1 "the disk extent below a leaf extent" "$out"
    expect_match 'CIM_StorageExtent\.' "the disk extent, not the volume" "$out"
    ;;
cm)
    ids=$(first_path CIM_StorageHardwareIDManagementService)
    out=$(wbemcli cm "$url$ids" CreateStorageHardwareID.ElementName=wbem,StorageID=iqn.2024-01.org.example:wbem,IDType=5)
    expect_match 'CreateStorageHardwareID: 0' "new initiator" "$out"
    expect_match 'HardwareID (reference)' "initiator reference" "$out"
    out=$(wbemcli cm "$url$ids" CreateStorageHardwareID.ElementName=wbem,StorageID=iqn.2024-01.org.example:wbem,IDType=5)
    expect_match 'CreateStorageHardwareID: 100' "initiator already present" "$out"
    storage=$(first_path Merrow_StorageConfigurationService)
    out=$(wbemcli cm "$url$storage" CreateVolume.ElementName=wbemvol,Size=1073741824,VolumeOrganization=2,StripeWidth=3)
    expect_match 'CreateVolume: 0' "new volume" "$out"
    out=$(wbemcli ei "$url:CIM_StorageVolume")
    expect_match 'ElementName="wbemvol".*ExtentStripeLength=3' "volume after creation" "$out"
    out=$(wbemcli cm "$url$storage" CreateVolume.ElementName=wbemvol,Size=1073741824,VolumeOrganization=2)
    expect_match 'CreateVolume: 274' "duplicate volume name" "$out"
    ;;
control)
    control="http://admin:secret@$address:5988/root/corvane_sim:CorvaneSim_Control.Name=\"Control\""
    out=$(wbemcli cm "$control" SetFirmwareVersion.Version=2.4.1.9)
    expect_match 'SetFirmwareVersion: 0' "firmware change" "$out"
    out=$(wbemcli ei "$url:Merrow_FirmwareImagesInfo")
    expect_match 'ActiveImageVersion="2.4.1.9"' "changed firmware" "$out"
    out=$(wbemcli cm "$control" GetRequestCounters)
    expect_match 'EnumerateInstances' "request counters" "$out"
    storage=$(first_path Merrow_StorageConfigurationService)
    wbemcli cm "$control" SetJobs.Enabled=true,Milliseconds=2000 >/dev/null
    out=$(wbemcli cm "$control" HoldNextJob)
    expect_match 'HoldNextJob: 0' "job held" "$out"
    out=$(wbemcli cm "$url$storage" CreateVolume.ElementName=heldvol,Size=1048576,VolumeOrganization=1)
    expect_match 'CreateVolume: 4096' "creation as a job" "$out"
    out=$(wbemcli ei "$url:CIM_ConcreteJob")
    expect_match 'OperationalStatus=15' "held job waits" "$out"
    out=$(wbemcli cm "$control" ReleaseJobs)
    expect_match 'ReleaseJobs: 0' "held job released" "$out"
    ;;
login)
    if wbemcli ein "http://admin:wrong@$address:5988/root/snia:CIM_ComputerSystem" >"$workdir/out" 2>&1; then
        fail "wrong password accepted"
    fi
    expect_match "Invalid username/password" "refused log-in" "$(cat "$workdir/out")"
    ;;
*)
    fail "unknown case $case_name"
    ;;
esac
echo "ok: $case_name"
