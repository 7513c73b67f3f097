#include "sim/ControlHandler.h"

#include "sim/ArrayFailureCodes.h"
#include "sim/ClassDescription.h"
#include "sim/InstanceBuilder.h"
#include "sim/ParameterCoercion.h"

#include "cim/value/CIMException.h"
#include "cim/value/CIMKeyBinding.h"

#include <strings.h>

namespace Merrow::Sim {

namespace {

using cim::CIMException;
using cim::CIMStatusCode;
using T = cim::CIMType;
using Values = std::map<std::string, cim::CIMValue>;
using Outs = std::vector<cim::CIMParamValue>;

template <typename V>
V value(const Values& values, const char* name, V fallback)
{
    auto found = values.find(name);
    if (found == values.end() || found->second.isNull())
        return fallback;
    return found->second.get<V>();
}

std::uint32_t result(ControlResult outcome) { return static_cast<std::uint32_t>(outcome); }

struct ControlMethod {
    const char* name;
    std::vector<ParameterSpec> in;
    std::uint32_t (*run)(SimulatorControl&, const Values&, Outs&);
};

const std::vector<ControlMethod>& methods()
{
    static const std::vector<ControlMethod> table{
        {"SetRefuseLogins", {{"Refuse", T::Boolean}},
         [](SimulatorControl& c, const Values& v, Outs&) {
             c.refuseLogins(value(v, "Refuse", true));
             return 0u;
         }},
        {"FailNextCalls", {{"Operation", T::String}, {"Count", T::Uint32}, {"Code", T::Uint32}},
         [](SimulatorControl& c, const Values& v, Outs&) {
             const std::string operation = value<std::string>(v, "Operation", "");
             if (operation.empty())
                 return result(ControlResult::Refused);
             c.failNextCalls(operation, value<std::uint32_t>(v, "Count", 1), value<std::uint32_t>(v, "Code", 1));
             return 0u;
         }},
        {"SetDelay", {{"Milliseconds", T::Uint32}},
         [](SimulatorControl& c, const Values& v, Outs&) {
             c.setDelay(std::chrono::milliseconds(value<std::uint32_t>(v, "Milliseconds", 0)));
             return 0u;
         }},
        {"SetHang", {{"Hang", T::Boolean}},
         [](SimulatorControl& c, const Values& v, Outs&) {
             c.setHang(value(v, "Hang", true));
             return 0u;
         }},
        {"DropConnections", {},
         [](SimulatorControl& c, const Values&, Outs&) {
             c.dropConnections();
             return 0u;
         }},
        {"DropNextRequests", {{"Count", T::Uint32}},
         [](SimulatorControl& c, const Values& v, Outs&) {
             c.dropNextRequests(value<std::uint32_t>(v, "Count", 1));
             return 0u;
         }},
        {"SetFirmwareVersion", {{"Version", T::String}},
         [](SimulatorControl& c, const Values& v, Outs&) {
             c.setFirmwareVersion(value<std::string>(v, "Version", ""));
             return 0u;
         }},
        {"Failover", {},
         [](SimulatorControl& c, const Values&, Outs&) {
             c.failover();
             return 0u;
         }},
        {"SetJobs", {{"Enabled", T::Boolean}, {"Milliseconds", T::Uint32}},
         [](SimulatorControl& c, const Values& v, Outs&) {
             c.setJobs(value(v, "Enabled", true), value<std::uint32_t>(v, "Milliseconds", 2000));
             return 0u;
         }},
        {"FailNextJob", {{"Code", T::Uint32}, {"Description", T::String}, {"Percent", T::Uint16}},
         [](SimulatorControl& c, const Values& v, Outs&) {
             return result(c.failNextJob(value<std::uint32_t>(v, "Code", ArrayFailure::DeviceFailure),
                                         value<std::string>(v, "Description", ""),
                                         value<std::uint16_t>(v, "Percent", 50)));
         }},
        {"HoldNextJob", {},
         [](SimulatorControl& c, const Values&, Outs&) {
             c.holdNextJob();
             return 0u;
         }},
        {"ReleaseJobs", {},
         [](SimulatorControl& c, const Values&, Outs&) { return result(c.releaseJobs()); }},
        {"AddDisks", {{"Count", T::Uint32}, {"SizeBytes", T::Uint64}},
         [](SimulatorControl& c, const Values& v, Outs& out) {
             const auto ids = c.addDisks(value<std::uint32_t>(v, "Count", 1),
                                         value<std::uint64_t>(v, "SizeBytes", 600'000'000'000ull));
             out.emplace_back("DeviceIDs", cim::CIMValue(ids));
             return 0u;
         }},
        {"RemoveDisk", {{"DeviceID", T::String}},
         [](SimulatorControl& c, const Values& v, Outs&) {
             return result(c.removeDisk(value<std::string>(v, "DeviceID", "")));
         }},
        {"AddVolume", {{"Name", T::String}, {"SizeBytes", T::Uint64}},
         [](SimulatorControl& c, const Values& v, Outs& out) {
             std::string id;
             const auto outcome = c.addVolume(value<std::string>(v, "Name", ""),
                                              value<std::uint64_t>(v, "SizeBytes", 1ull << 30), id);
             out.emplace_back("DeviceID", cim::CIMValue(id));
             return result(outcome);
         }},
        {"RemoveVolume", {{"Volume", T::String}},
         [](SimulatorControl& c, const Values& v, Outs&) {
             return result(c.removeVolume(value<std::string>(v, "Volume", "")));
         }},
        {"AddInitiator", {{"Name", T::String}},
         [](SimulatorControl& c, const Values& v, Outs& out) {
             std::string id;
             const auto outcome = c.addInitiator(value<std::string>(v, "Name", ""), id);
             out.emplace_back("InstanceID", cim::CIMValue(id));
             return result(outcome);
         }},
        {"RemoveInitiator", {{"Name", T::String}},
         [](SimulatorControl& c, const Values& v, Outs&) {
             return result(c.removeInitiator(value<std::string>(v, "Name", "")));
         }},
        {"AddSession", {{"InitiatorName", T::String}, {"Volume", T::String}},
         [](SimulatorControl& c, const Values& v, Outs& out) {
             std::string id;
             const auto outcome =
                 c.addSession(value<std::string>(v, "InitiatorName", ""), value<std::string>(v, "Volume", ""), id);
             out.emplace_back("InstanceID", cim::CIMValue(id));
             return result(outcome);
         }},
        {"RemoveSession", {{"Session", T::String}},
         [](SimulatorControl& c, const Values& v, Outs&) {
             return result(c.removeSession(value<std::string>(v, "Session", "")));
         }},
        {"GetRequestCounters", {},
         [](SimulatorControl& c, const Values&, Outs& out) {
             std::vector<std::string> operations;
             std::vector<std::uint64_t> counts;
             for (const auto& [operation, count] : c.requestCounts()) {
                 operations.push_back(operation);
                 counts.push_back(count);
             }
             out.emplace_back("Operations", cim::CIMValue(operations));
             out.emplace_back("Counts", cim::CIMValue(counts));
             return 0u;
         }},
        {"GetLastCall", {{"Method", T::String}},
         [](SimulatorControl& c, const Values& v, Outs& out) {
             const auto call = c.lastCall(value<std::string>(v, "Method", ""));
             if (!call)
                 return result(ControlResult::NotFound);
             std::vector<std::string> names, types, texts;
             for (const auto& [name, parameter] : call->parameters) {
                 names.push_back(name);
                 types.emplace_back(cim::cimTypeName(parameter.getType()));
                 texts.push_back(parameter.toString());
             }
             out.emplace_back("ClassName", cim::CIMValue(call->className));
             out.emplace_back("ParameterNames", cim::CIMValue(names));
             out.emplace_back("ParameterTypes", cim::CIMValue(types));
             out.emplace_back("ParameterValues", cim::CIMValue(texts));
             return 0u;
         }},
        {"ClearCalls", {},
         [](SimulatorControl& c, const Values&, Outs&) {
             c.clearCalls();
             return 0u;
         }},
        {"ResetRequestCounters", {},
         [](SimulatorControl& c, const Values&, Outs&) {
             c.resetRequestCounts();
             return 0u;
         }},
        // A powered-off array cannot be reached here, so there is no power-on method.
        {"SetRestartTime", {{"Milliseconds", T::Uint32}},
         [](SimulatorControl& c, const Values& v, Outs&) {
             c.setRestartTime(value<std::uint32_t>(v, "Milliseconds", 3000));
             return 0u;
         }},
    };
    return table;
}

} // namespace

cim::CIMObjectPath ControlHandler::controlPath() const
{
    return cim::CIMObjectPath("", Namespaces::Control, kClassName,
                              {cim::CIMKeyBinding("Name", cim::CIMValue(kInstanceName))});
}

cim::CIMInstance ControlHandler::controlInstance() const
{
    cim::CIMInstance instance = InstanceBuilder(kClassName)
                                    .set("Name", kInstanceName)
                                    .set("FirmwareVersion", m_control.firmwareVersion())
                                    .set("ActiveSlot", cim::CIMValue(m_control.activeSlot()))
                                    .build();
    instance.setPath(controlPath());
    return instance;
}

void ControlHandler::checkClass(const cim::CIMName& className) const
{
    if (className != cim::CIMName(kClassName))
        throw CIMException(CIMStatusCode::InvalidClass, className.getString());
}

cim::CIMResponse ControlHandler::handle(const cim::CIMRequest& request)
{
    if (request.extrinsic)
        return invoke(request);
    cim::CIMResponse response;
    response.methodName = request.methodName;
    const std::string& operation = request.methodName.getString();
    if (operation == "GetInstance") {
        const cim::CIMParamValue* name = request.findParam("InstanceName");
        if (name == nullptr || name->getValue().getType() != T::Reference)
            throw CIMException(CIMStatusCode::InvalidParameter, "InstanceName is required");
        const cim::CIMObjectPath path = name->getValue().get<cim::CIMObjectPath>();
        checkClass(path.getClassName());
        const cim::CIMKeyBinding* key = path.findKeyBinding("Name");
        if (key == nullptr || key->getValue() != kInstanceName)
            throw CIMException(CIMStatusCode::NotFound, path.toString());
        response.kind = cim::CIMReturnKind::Instances;
        response.instances.push_back(controlInstance());
        return response;
    }
    if (operation == "EnumerateInstances" || operation == "EnumerateInstanceNames") {
        const cim::CIMParamValue* name = request.findParam("ClassName");
        if (name == nullptr || name->getValue().isNull())
            throw CIMException(CIMStatusCode::InvalidParameter, "ClassName is required");
        checkClass(name->getValue().get<std::string>());
        if (operation == "EnumerateInstances") {
            response.kind = cim::CIMReturnKind::NamedInstances;
            response.instances.push_back(controlInstance());
        } else {
            response.kind = cim::CIMReturnKind::InstanceNames;
            response.paths.push_back(controlPath());
        }
        return response;
    }
    throw CIMException(CIMStatusCode::NotSupported, operation + " is not offered in " + Namespaces::Control);
}

std::string ControlHandler::describeClass(const cim::CIMRequest& request) const
{
    const cim::CIMParamValue* name = request.findParam("ClassName");
    if (name == nullptr || name->getValue().getType() != T::String || name->getValue().isArray())
        throw CIMException(CIMStatusCode::InvalidParameter, "ClassName is required");
    checkClass(name->getValue().get<std::string>());
    std::vector<MethodDescription> described;
    for (const ControlMethod& method : methods())
        described.push_back({method.name, method.in});
    const cim::CIMInstance sample = controlInstance();
    return ClassDescription::getClassResponse(request.messageId, kClassName, nullptr, &sample, described);
}

cim::CIMResponse ControlHandler::invoke(const cim::CIMRequest& request)
{
    checkClass(request.target.getClassName());
    for (const ControlMethod& method : methods()) {
        if (::strcasecmp(method.name, request.methodName.c_str()) != 0)
            continue;
        const Values values = ParameterCoercion::coerce(method.in, request.params);
        cim::CIMResponse response;
        response.extrinsic = true;
        response.methodName = request.methodName;
        response.returnValue = cim::CIMValue(method.run(m_control, values, response.outParams));
        return response;
    }
    throw CIMException(CIMStatusCode::MethodNotFound, request.methodName.getString());
}

} // namespace Merrow::Sim
