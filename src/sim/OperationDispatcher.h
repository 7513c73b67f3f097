#pragma once

// Answers decoded CIM operation requests from the model: the intrinsic operations
// GetInstance, EnumerateInstances, EnumerateInstanceNames, Associators, AssociatorNames,
// References, ReferenceNames, ModifyInstance, CreateInstance, DeleteInstance, GetClass and
// EnumerateClassNames (see ClassDescription), and
// extrinsic method calls through the method table. Every refusal is a CIM status in the
// response: an unknown namespace 3, class 5, object 6, method 17, parameter 4, property
// 12, an operation the array does not offer 7.
//
// Choices where DSP0200 leaves room:
// - LocalOnly, IncludeQualifiers and IncludeClassOrigin are accepted and ignored, and
//   DeepInheritance=false still returns every property: the array keeps no class
//   definitions, only instances.
// - An association walk from an object that does not exist answers an empty result, as
//   DSP0200 lists no CIM_ERR_NOT_FOUND for these operations.
// - A method invoked on a class path runs on that class's only instance (the services are
//   singletons); on a class with more instances it is refused with status 4.
//
// Threads: any; the model serialises what needs it.

#include "sim/ArrayModel.h"
#include "sim/ControlHandler.h"
#include "sim/FaultControl.h"
#include "sim/MethodCallLog.h"
#include "sim/RequestCounters.h"
#include "sim/SimulatorSettings.h"

#include "cim/xml/CIMRequest.h"
#include "cim/xml/CIMResponse.h"

#include <string>

namespace Merrow::Sim {

class OperationDispatcher {
public:
    OperationDispatcher(ArrayModel& model, SimulatorSettings& settings, FaultControl& faults, RequestCounters& counters,
                        MethodCallLog& calls, ControlHandler& control, std::string host);

    // Never throws: every failure becomes the response's error.
    cim::CIMResponse dispatch(const cim::CIMRequest& request);
    // The same answer as CIM-XML. Enumerations of whole instances are put together from the
    // encoded form each stored instance keeps, so a large enumeration is not copied and
    // encoded again for every request.
    std::string dispatchEncoded(const cim::CIMRequest& request);

    // Log-in with one of the array's own accounts ("user:password" as the Basic
    // Authorization header carries it). Threads: any.
    bool acceptsAccount(const std::string& credentials) const;
    // The event history notes a log-in refused for wrong credentials, naming the user only.
    // Threads: any.
    void recordRefusedLogin(const std::string& credentials);

private:
    cim::CIMResponse run(const cim::CIMRequest& request, std::string* encoded);
    cim::CIMResponse intrinsic(const cim::CIMRequest& request, std::string* encoded);
    cim::CIMResponse extrinsic(const cim::CIMRequest& request);

    cim::CIMResponse getInstance(const cim::CIMRequest& request, const InstanceStore& store);
    cim::CIMResponse enumerateInstances(const cim::CIMRequest& request, const InstanceStore& store, bool namesOnly,
                                        std::string* encoded);
    cim::CIMResponse getClass(const cim::CIMRequest& request, const InstanceStore& store, std::string* encoded);
    cim::CIMResponse enumerateClassNames(const cim::CIMRequest& request, const InstanceStore& store);
    void encodeEnumeration(const cim::CIMRequest& request, const std::vector<const StoredObject*>& objects,
                           std::string& out) const;
    cim::CIMResponse associators(const cim::CIMRequest& request, const InstanceStore& store, bool namesOnly);
    cim::CIMResponse references(const cim::CIMRequest& request, const InstanceStore& store, bool namesOnly);
    cim::CIMResponse modifyInstance(const cim::CIMRequest& request);
    cim::CIMResponse createInstance(const cim::CIMRequest& request);
    cim::CIMResponse deleteInstance(const cim::CIMRequest& request);

    // The path as a client outside sees it: with this server's host and the namespace.
    cim::CIMObjectPath fullPath(const cim::CIMObjectPath& path) const;

    ArrayModel& m_model;
    SimulatorSettings& m_settings;
    FaultControl& m_faults;
    RequestCounters& m_counters;
    MethodCallLog& m_calls;
    ControlHandler& m_control;
    const std::string m_host;
};

} // namespace Merrow::Sim
