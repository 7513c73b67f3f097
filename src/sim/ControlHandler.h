#pragma once

// The simulator's control class, CorvaneSim_Control in namespace "root/corvane_sim", so
// that any CIM client (wbemcli included) can drive a running simulator. One instance
// (Name "Control") shows the current settings; its methods act through SimulatorControl
// and answer 0 (done), 1 (no such object) or 2 (refused):
//
//   SetRefuseLogins(Refuse)              FailNextCalls(Operation, Count, Code)
//   SetDelay(Milliseconds)               SetHang(Hang)
//   DropConnections()                    DropNextRequests(Count)
//   SetFirmwareVersion(Version)
//   Failover()                           SetJobs(Enabled, Milliseconds)
//   FailNextJob(Code, Description, Percent)            HoldNextJob()
//   ReleaseJobs()
//   AddDisks(Count, SizeBytes) -> DeviceIDs[]          RemoveDisk(DeviceID)
//   AddVolume(Name, SizeBytes) -> DeviceID             RemoveVolume(Volume)
//   AddInitiator(Name) -> InstanceID                   RemoveInitiator(Name)
//   AddSession(InitiatorName, Volume) -> InstanceID    RemoveSession(Session)
//   GetRequestCounters() -> Operations[], Counts[]     ResetRequestCounters()
//   GetLastCall(Method) -> ClassName, ParameterNames[], ParameterTypes[], ParameterValues[]
//                                                      ClearCalls()
//   SetRestartTime(Milliseconds)
//
// SetRestartTime sets how long the array stays down when a client restarts it. A shut-down
// array stays down until the embedding program powers it on (SimulatorControl::powerOn):
// while it is down this class cannot be reached either.
//
// GetLastCall tells what the last call of an extrinsic method of the array received: only
// the parameters the client sent, by their declared names, with the CIM type name and the
// value as text (references as object path text, arrays as "{a,b}"); 1 when no call came.
//
// FailNextJob makes the next job the array starts end in Failed once it reaches Percent
// (default 50), with ErrorCode Code (default 280, a device failure) and ErrorDescription
// Description (default the array's text for Code); 2 for a Percent of 100 or more.
// HoldNextJob keeps the next job waiting until ReleaseJobs, which answers 1 when no job
// was held.
//
// Requests to this namespace are never counted nor failed, delayed or refused by the
// faults they control.

#include "sim/SimulatorControl.h"

#include "cim/xml/CIMRequest.h"
#include "cim/xml/CIMResponse.h"

namespace Merrow::Sim {

class ControlHandler {
public:
    explicit ControlHandler(SimulatorControl& control) : m_control(control) {}

    // Throws cim::CIMException for what it refuses.
    cim::CIMResponse handle(const cim::CIMRequest& request);
    // GetClass of the control class, with its methods, as CIM-XML.
    std::string describeClass(const cim::CIMRequest& request) const;

    static constexpr const char* kClassName = "CorvaneSim_Control";
    static constexpr const char* kInstanceName = "Control";

private:
    cim::CIMInstance controlInstance() const;
    cim::CIMObjectPath controlPath() const;
    cim::CIMResponse invoke(const cim::CIMRequest& request);
    void checkClass(const cim::CIMName& className) const;

    SimulatorControl& m_control;
};

} // namespace Merrow::Sim
