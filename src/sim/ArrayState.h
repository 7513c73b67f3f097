#pragma once

// The configuration and run state of the simulated array, in the array's own terms (disks,
// volumes, initiators, grants, network, jobs). This is what the array remembers and what
// its state file holds; the CIM objects that clients see are derived from it
// (ModelProjection) and are never the source of truth.
//
// Identifiers are eight hexadecimal digits whose first two name the kind of object, the
// way the array firmware numbers its objects: pools 37, disks 38, volumes 3a. The rest
// count up per kind from 000001 and are never reused, so a client that remembers an id
// never meets a different object under it.

#include "sim/VolumeLayout.h"

#include <nlohmann/json.hpp>

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace Merrow::Sim {

namespace IdPrefix {
inline constexpr const char* Pool = "37";
inline constexpr const char* Disk = "38";
inline constexpr const char* LeafExtent = "39";
inline constexpr const char* Volume = "3a";
inline constexpr const char* Target = "3b";
inline constexpr const char* Initiator = "3c";
inline constexpr const char* Privilege = "3d";
inline constexpr const char* Job = "3e";
inline constexpr const char* Session = "3f";
inline constexpr const char* Connection = "40";
inline constexpr const char* Portal = "41";
inline constexpr const char* Lag = "42";
inline constexpr const char* Route = "43";
inline constexpr const char* Port = "34";
inline constexpr const char* DiskExtent = "35";
inline constexpr const char* ListenerObject = "4f";
inline constexpr const char* Account = "44";
inline constexpr const char* LogRecord = "45";
} // namespace IdPrefix

// The five pools, by InstanceID. Volumes live in a base pool (one per controller); new
// disks wait in the available pool.
namespace PoolId {
inline constexpr const char* Unavailable = "37000001";
inline constexpr const char* Spare = "37000002";
inline constexpr const char* Available = "37000003";
inline constexpr const char* BaseA = "37000004";
inline constexpr const char* BaseB = "37000005";
} // namespace PoolId

// Values of a job's first OperationalStatus element.
namespace JobStatus {
inline constexpr std::uint16_t Running = 2;
inline constexpr std::uint16_t Failed = 6;
inline constexpr std::uint16_t Paused = 10;
inline constexpr std::uint16_t Scheduled = 11;
inline constexpr std::uint16_t Cancelled = 14;
inline constexpr std::uint16_t Waiting = 15;
inline constexpr std::uint16_t Completed = 17;
} // namespace JobStatus

// iSCSI authentication methods as the connection settings carry them.
namespace AuthMethod {
inline constexpr std::uint16_t None = 3;
inline constexpr std::uint16_t Chap = 5;
} // namespace AuthMethod

struct SimDisk {
    std::string id;
    std::uint16_t slot = 0;
    std::uint64_t blocks = 0;
    std::string serialNumber;
    std::string model;
    std::string vendor;
    std::string firmwareRevision;
    std::string poolId;
    // A disk taken down by "RemoveStorageDevice" stays in its slot, offline, until
    // "InitializeStorageDevice" brings it back.
    bool online = true;
    // A disk that broke stays failed until it is taken out of service; the volumes on it
    // run degraded (or fail, without redundancy) meanwhile.
    bool failed = false;
};

struct SimExtent {
    std::string id;
    std::string diskId;
    std::uint64_t blocks = 0;
};

struct SimVolumeLayout {
    VolumeOrganization organization = VolumeOrganization::Jbod;
    std::uint16_t stripeWidth = 1;
    std::uint32_t chunkBytes = VolumeLayout::kDefaultChunkBytes;
    std::uint64_t blocks = 0;
    std::vector<SimExtent> extents;
};

// A reconfiguration or growth in progress: the new layout is reserved at once and taken
// over when the job completes. A reconfiguration shows a shadow volume with the new size
// meanwhile; growing in place has none (empty shadowId).
struct SimReconfiguration {
    std::string shadowId;
    SimVolumeLayout layout;
};

// The iSCSI target the array makes for every volume.
struct SimTarget {
    std::string id;
    std::string name;
    std::string iqn;
    std::string secret;
    std::uint16_t primaryAuthentication = AuthMethod::None;
    std::uint16_t secondaryAuthentication = AuthMethod::None;
    // Session and connection settings a client changed, by property name.
    std::map<std::string, nlohmann::json> settings;
};

struct SimVolume {
    std::string id;
    std::string name;
    std::string durableName;
    std::string poolId;
    SimVolumeLayout layout;
    // False while the job that creates the volume runs.
    bool ready = true;
    // True from the moment a spare took a failed disk's place until the rebuild onto it
    // completed; the volume runs degraded meanwhile.
    bool rebuilding = false;
    std::optional<SimReconfiguration> reconfiguration;
    SimTarget target;
    // Host-facing settings a client changed, by property name (VolumeSettings).
    std::map<std::string, nlohmann::json> settings;
};

struct SimInitiator {
    std::string id;
    std::string name;
    std::string elementName;
    std::string secret;
};

// One initiator's access to one volume's target.
struct SimGrant {
    std::string id;
    std::string initiatorId;
    std::string volumeId;
};

// A live iSCSI session (with its single connection) of an initiator on a target. The
// initiator need not be registered on the array.
struct SimSession {
    std::string id;
    std::string connectionId;
    std::string initiatorName;
    std::string volumeId;
    std::string portalId;
    std::string isid;
};

struct SimPort {
    std::string id;
    std::uint8_t controller = 0;
    std::uint16_t number = 0;
    std::string macAddress;
    bool enabled = true;
};

struct SimLag {
    std::string id;
    std::uint8_t controller = 0;
    std::string name;
    std::string macAddress;
    std::vector<std::string> portIds;
    bool vlanEnabled = false;
    bool autoSense = true;
    std::uint16_t frameType = 1;
    std::uint16_t requestedState = 2;
    std::uint64_t speed = 1000000000;
    std::uint64_t mtu = 1500;
};

struct SimPortal {
    std::string id;
    std::string lagId;
    std::string ipAddress;
    std::string subnetMask;
    std::string gateway;
    std::uint16_t vlanId = 0;
    std::uint32_t tcpPort = 3260;
};

struct SimRoute {
    std::string id;
    std::string destination;
    std::string subnetMask;
    std::string gateway;
};

enum class JobKind {
    CreateVolume,
    ReconfigureVolume,
    GrowVolume,
    InitializeDisk,
    RemoveDisk,
    ScanVolume,
    // Rewriting a redundant volume's data onto the spare that replaced a failed disk.
    RebuildVolume,
};

// A job that is to fail part way, as the simulator's control arranges it.
struct SimJobFailure {
    bool armed = false;
    // The progress at which the job fails (0 to 99).
    std::uint16_t atPercent = 50;
    // What the failed job reports: an array failure number and its text.
    std::uint32_t errorCode = 0;
    std::string errorDescription;
};

struct SimJob {
    std::string id;
    JobKind kind = JobKind::CreateVolume;
    // The volume or disk the job works on; its id is the job's "Owner".
    std::string ownerId;
    std::string name;
    std::uint16_t status = JobStatus::Running;
    std::uint16_t percentComplete = 0;
    std::uint32_t priority = 0;
    // Wall-clock times in milliseconds since 1970; 0 when not reached.
    std::int64_t createdMs = 0;
    std::int64_t startedMs = 0;
    std::int64_t scheduledStartMs = 0;
    std::int64_t finishedMs = 0;
    // Time the job has actually run (pauses excluded).
    std::int64_t runMs = 0;
    std::uint16_t periodicityType = 1;
    std::uint16_t periodicity = 0;
    std::uint16_t scanType = 0;
    // Held jobs wait (status Waiting) instead of running until the control releases them.
    bool held = false;
    SimJobFailure failure{};
};

// What the simulator's control armed for the next job the array starts. It is no part of
// the array's configuration, so the state file does not keep it.
struct SimNextJob {
    bool hold = false;
    SimJobFailure failure;
};

// A user account of the array's management interface. The array keeps the password but
// never shows it.
struct SimAccount {
    std::string id;
    std::string userId;
    std::string password;
    // "Administrator", "Operator" or "Monitor".
    std::string role;
};

// One entry of the array's event history.
struct SimLogRecord {
    std::string id;
    // Wall-clock time in milliseconds since 1970.
    std::int64_t timeMs = 0;
    // CIM PerceivedSeverity: 2 information, 3 degraded, 5 major, 6 critical.
    std::uint16_t severity = 2;
    // What the event is about: "Volume", "Disk", "Controller", "Security", "Task".
    std::string category;
    std::string message;
};

// A handler, filter or subscription a client created, kept as the client sent it:
// {"class": name, "properties": {name: {"type": t, "value": v}}}.
using SimListenerObject = nlohmann::json;

struct SimSystem {
    std::string serialNumber;
    std::string name;
    std::string firmwareVersion = "2.8.2.2";
    // Slot of the controller that answers management requests (1 or 2).
    std::uint16_t activeSlot = 1;
    // Settings objects clients changed: InstanceID -> {property: value}.
    std::map<std::string, nlohmann::json> settings;
};

struct ArrayState {
    SimSystem system;
    std::map<std::string, SimDisk> disks;
    std::map<std::string, SimVolume> volumes;
    std::map<std::string, SimInitiator> initiators;
    std::map<std::string, SimGrant> grants;
    std::map<std::string, SimSession> sessions;
    std::map<std::string, SimPort> ports;
    std::map<std::string, SimLag> lags;
    std::map<std::string, SimPortal> portals;
    std::map<std::string, SimRoute> routes;
    std::map<std::string, SimJob> jobs;
    // Handlers, filters and subscriptions by an id of their own (IdPrefix::ListenerObject).
    std::map<std::string, SimListenerObject> listenerObjects;
    std::map<std::string, SimAccount> accounts;
    // The event history, oldest first (ids count up and have a fixed width).
    std::map<std::string, SimLogRecord> events;
    // Next number per id prefix.
    std::map<std::string, std::uint32_t> nextId;
    SimNextJob nextJob;

    // A fresh id of the kind `prefix`.
    std::string allocateId(const std::string& prefix);

    // Blocks of `disk` not held by any volume. A volume being reconfigured holds the larger
    // of its old and new extents on each disk until the job ends.
    std::uint64_t freeBlocks(const SimDisk& disk) const;
    std::uint64_t blocksHeldBy(const SimVolume& volume, const std::string& diskId) const;

    const SimVolume* findVolumeByName(const std::string& name) const;
    const SimInitiator* findInitiatorByName(const std::string& name) const;
    const SimAccount* findAccountByUser(const std::string& userId) const;
    const SimGrant* findGrant(const std::string& initiatorId, const std::string& volumeId) const;
    // The volume whose shadow carries `shadowId`, or nullptr.
    const SimVolume* findShadowOwner(const std::string& shadowId) const;
};

} // namespace Merrow::Sim
