#pragma once

// A simulated array without a network: the model, the dispatcher and the control API
// wired as the simulator wires them, with indications captured instead of sent. Requests
// are built the way the CIM-XML decoder hands them over.

#include "sim/ArrayModel.h"
#include "sim/ControlHandler.h"
#include "sim/DefaultArray.h"
#include "sim/FaultControl.h"
#include "sim/IndicationRouter.h"
#include "sim/OperationDispatcher.h"
#include "sim/RequestCounters.h"
#include "sim/SimulatorControl.h"
#include "sim/SimulatorSettings.h"

#include "cim/value/CIMKeyBinding.h"
#include "cim/xml/CIMRequest.h"
#include "cim/xml/CIMResponse.h"

#include <gtest/gtest.h>

#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace Merrow::Sim::Testing {

class RecordingSink : public IndicationSink {
public:
    void post(IndicationDelivery delivery) override
    {
        std::lock_guard lock(m_mutex);
        m_deliveries.push_back(std::move(delivery));
    }
    std::vector<IndicationDelivery> take()
    {
        std::lock_guard lock(m_mutex);
        return std::exchange(m_deliveries, {});
    }

private:
    std::mutex m_mutex;
    std::vector<IndicationDelivery> m_deliveries;
};

inline ArrayOptions smallArray()
{
    ArrayOptions options;
    options.address = "127.0.0.9";
    options.disks = 8;
    options.diskBytes = 100'000'000'000ull;
    options.volumes = 2;
    options.volumeBytes = 1ull << 30;
    options.initiators = 2;
    return options;
}

class SimulatedArray {
public:
    explicit SimulatedArray(const ArrayOptions& options = smallArray(), bool jobs = false)
        : model(DefaultArray::build(options), options.address),
          router(sink, options.address, settings),
          control(model, faults, counters, calls, settings),
          controlHandler(control),
          dispatcher(model, settings, faults, counters, calls, controlHandler, options.address)
    {
        settings.jobsEnabled = jobs;
        model.setChangeListener(&router);
    }

    cim::CIMResponse send(const cim::CIMRequest& request) { return dispatcher.dispatch(request); }

    SimulatorSettings settings;
    FaultControl faults;
    RequestCounters counters;
    MethodCallLog calls;
    ArrayModel model;
    RecordingSink sink;
    IndicationRouter router;
    SimulatorControl control;
    ControlHandler controlHandler;
    OperationDispatcher dispatcher;
};

inline cim::CIMRequest intrinsic(const char* operation, std::vector<cim::CIMParamValue> params,
                                 const char* nameSpace = Namespaces::Storage)
{
    cim::CIMRequest request;
    request.messageId = "1";
    request.methodName = operation;
    request.nameSpace = nameSpace;
    request.params = std::move(params);
    return request;
}

inline cim::CIMRequest invoke(const cim::CIMObjectPath& target, const char* method,
                              std::vector<cim::CIMParamValue> params = {})
{
    cim::CIMRequest request;
    request.messageId = "2";
    request.extrinsic = true;
    request.methodName = method;
    request.nameSpace = target.getNameSpace().isNull() ? cim::CIMNamespaceName(Namespaces::Storage) : target.getNameSpace();
    request.target = target;
    request.params = std::move(params);
    return request;
}

inline cim::CIMParamValue param(const char* name, cim::CIMValue value) { return cim::CIMParamValue(name, std::move(value)); }

inline cim::CIMObjectPath instancePath(const char* className, const std::string& instanceId)
{
    return cim::CIMObjectPath("", Namespaces::Storage, className, {cim::CIMKeyBinding("InstanceID", cim::CIMValue(instanceId))});
}

// A device path with its single identifying key, as some clients address devices.
inline cim::CIMObjectPath deviceIdPath(const char* className, const std::string& deviceId)
{
    return cim::CIMObjectPath("", Namespaces::Storage, className, {cim::CIMKeyBinding("DeviceID", cim::CIMValue(deviceId))});
}

inline cim::CIMObjectPath servicePath(const char* className)
{
    return cim::CIMObjectPath("", Namespaces::Storage, className);
}

inline std::uint32_t returnValue(const cim::CIMResponse& response)
{
    if (response.error)
        ADD_FAILURE() << "CIM error " << static_cast<int>(response.error->code) << ": " << response.error->description;
    return response.returnValue.isNull() ? 0xFFFFFFFFu : response.returnValue.get<std::uint32_t>();
}

inline const cim::CIMValue* outParam(const cim::CIMResponse& response, const char* name)
{
    for (const cim::CIMParamValue& out : response.outParams) {
        if (out.getParameterName() == cim::CIMName(name))
            return &out.getValue();
    }
    return nullptr;
}

inline int statusOf(const cim::CIMResponse& response)
{
    return response.error ? static_cast<int>(response.error->code) : 0;
}

// The client library's association walk: AssociatorNames for every step but the last,
// Associators for the last, over every path reached.
struct Step {
    const char* associationClass;
    const char* resultClass;
};

inline std::vector<cim::CIMObject> walk(SimulatedArray& array, const cim::CIMObjectPath& start,
                                        const std::vector<Step>& steps)
{
    std::vector<cim::CIMObjectPath> paths{start};
    std::vector<cim::CIMObject> objects;
    for (std::size_t i = 0; i < steps.size(); ++i) {
        const bool last = i + 1 == steps.size();
        std::vector<cim::CIMObjectPath> next;
        for (const cim::CIMObjectPath& path : paths) {
            const cim::CIMResponse response =
                array.send(intrinsic(last ? "Associators" : "AssociatorNames",
                                     {param("ObjectName", cim::CIMValue(path)),
                                      param("AssocClass", cim::CIMValue(steps[i].associationClass)),
                                      param("ResultClass", cim::CIMValue(steps[i].resultClass))}));
            EXPECT_FALSE(response.error.has_value()) << steps[i].associationClass;
            if (last)
                objects.insert(objects.end(), response.objects.begin(), response.objects.end());
            else
                next.insert(next.end(), response.paths.begin(), response.paths.end());
        }
        paths = std::move(next);
    }
    return objects;
}

inline std::vector<cim::CIMInstance> enumerate(SimulatedArray& array, const char* className)
{
    const cim::CIMResponse response = array.send(intrinsic("EnumerateInstances", {param("ClassName", cim::CIMValue(className))}));
    EXPECT_FALSE(response.error.has_value()) << className;
    return response.instances;
}

inline std::string stringOf(const cim::CIMInstance& instance, const char* property)
{
    return instance.getPropertyValue(property).get<std::string>();
}

} // namespace Merrow::Sim::Testing
