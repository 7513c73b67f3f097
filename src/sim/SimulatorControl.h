#pragma once

// Drives a running simulator from a test: faults, firmware version, controller failover,
// and changes "behind the client's back" (disks, volumes, initiators and sessions added or
// removed without any client request), plus the request counters. Every model change
// posts indications and reaches the state file like a client's change would.
//
// Threads: any. Each call takes the model lock or the fault lock for its own duration.

#include "sim/ArrayModel.h"
#include "sim/FaultControl.h"
#include "sim/MethodCallLog.h"
#include "sim/RequestCounters.h"
#include "sim/SimulatorSettings.h"

#include <chrono>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace Merrow::Sim {

enum class ControlResult : std::uint32_t {
    Ok = 0,
    NotFound = 1,
    Refused = 2,
};

class SimulatorControl {
public:
    SimulatorControl(ArrayModel& model, FaultControl& faults, RequestCounters& counters, MethodCallLog& calls,
                     SimulatorSettings& settings);

    void refuseLogins(bool refuse) { m_faults.setRefuseLogins(refuse); }
    void failNextCalls(const std::string& operation, std::uint32_t count, std::uint32_t code)
    {
        m_faults.failNext(operation, count, code);
    }
    void setDelay(std::chrono::milliseconds delay) { m_faults.setDelay(delay); }
    void setHang(bool hang) { m_faults.setHang(hang); }
    void dropConnections() { m_faults.dropConnections(); }
    void dropNextRequests(std::uint32_t count) { m_faults.dropNextRequests(count); }
    // Brings back an array that shut down ("InitiateShutdown" without Restart), or one that
    // is restarting before its restart time is up. A powered-off array cannot be reached
    // through the control class, so this is for embedded simulators only.
    void powerOn() { m_faults.powerCycle(PowerCycle::PowerOn); }
    void setRestartTime(std::uint32_t milliseconds) { m_settings.restartMilliseconds = milliseconds; }

    void setFirmwareVersion(const std::string& version);
    std::string firmwareVersion() const;
    // The other controller takes over; the ping object's "SlotId" changes.
    void failover();
    std::uint16_t activeSlot() const;

    std::vector<std::string> addDisks(unsigned count, std::uint64_t bytes = 600'000'000'000ull);
    // Refused for a disk that holds volume extents.
    ControlResult removeDisk(const std::string& deviceId);
    // The disk breaks: the volumes on it run degraded, or fail without redundancy.
    // Refused for a disk that is offline or failed already.
    ControlResult failDisk(const std::string& deviceId);
    // The array keeps the unused disk as a hot spare (its spare pool). Refused for a disk
    // that holds volume extents, is offline or failed.
    ControlResult makeSpare(const std::string& deviceId);
    // A ready JBOD volume on the base pool of controller A. Refused for an empty or taken
    // name and when no disk has room; `deviceId` receives the new volume's id.
    ControlResult addVolume(const std::string& name, std::uint64_t bytes, std::string& deviceId);
    // By name or DeviceID.
    ControlResult removeVolume(const std::string& nameOrId);
    // What an administrator does at the array's own console, by name or DeviceID: a new
    // name (refused when empty or taken), growth to `bytes` finished at once (refused when
    // not larger or without room on the volume's disks), and CHAP on or off for the
    // volume's target (both authentication methods).
    ControlResult renameVolume(const std::string& nameOrId, const std::string& newName);
    ControlResult growVolume(const std::string& nameOrId, std::uint64_t bytes);
    ControlResult setTargetChap(const std::string& nameOrId, bool required);
    ControlResult addInitiator(const std::string& name, std::string& instanceId);
    ControlResult removeInitiator(const std::string& name);
    // A live session of the initiator (by iSCSI name, registered or not) on the target of
    // the volume (by name or DeviceID), through the first portal.
    ControlResult addSession(const std::string& initiatorName, const std::string& volume, std::string& sessionId);
    // By session InstanceID, or every session of an initiator name.
    ControlResult removeSession(const std::string& sessionOrInitiator);

    // The portal at `address` moves to `newAddress` on VLAN `vlanId`, as when an
    // administrator changes it at the array's own console (SimulatorControl_Portals.cpp).
    // Refused for an address that is no IPv4 address or that another portal has.
    ControlResult changePortal(const std::string& address, const std::string& newAddress, std::uint16_t vlanId);
    std::uint64_t requestCount(const std::string& operation) const { return m_counters.get(operation); }
    std::map<std::string, std::uint64_t> requestCounts() const { return m_counters.snapshot(); }
    void resetRequestCounts() { m_counters.reset(); }

    // What the last call of an extrinsic method received; nullopt when none came.
    std::optional<RecordedCall> lastCall(std::string_view methodName) const { return m_calls.last(methodName); }
    void clearCalls() { m_calls.clear(); }

    void setJobs(bool enabled, std::uint32_t milliseconds);
    // The next job the array starts fails once its progress reaches `atPercent` (0 to 99),
    // reporting the array failure `code` with `description` (the array's text for the code
    // when empty). Refused for a percentage of 100 or more and for codes that are no
    // failure (0, 4096). While jobs are off no job starts, and the failure stays armed.
    ControlResult failNextJob(std::uint32_t code, const std::string& description, std::uint16_t atPercent);
    // The next job the array starts waits (status Waiting) instead of running.
    void holdNextJob();
    // Lets every held job run; NotFound when none was held.
    ControlResult releaseJobs();
    void setJobKeepTime(std::uint32_t milliseconds) { m_settings.jobKeepMilliseconds = milliseconds; }
    void setAssociationIndications(bool announced) { m_settings.associationIndications = announced; }

    ArrayModel& model() { return m_model; }

private:
    ArrayModel& m_model;
    FaultControl& m_faults;
    RequestCounters& m_counters;
    MethodCallLog& m_calls;
    SimulatorSettings& m_settings;
};

} // namespace Merrow::Sim
