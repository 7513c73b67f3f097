#include "user_agent/attributes/AttributeRegistry.h"

#include "user_agent/attributes/ValueTraits.h"
#include "user_agent/base/TextUtil.h"
#include "user_agent/indications/MerrowService.h"

#include <map>
#include <mutex>
#include <sstream>

namespace Merrow::UserAgent {

// Defined in the generated AllServiceRegistries.cpp: builds every class's registry, and by
// being called from here keeps the generated registries in every program that looks one up.
void BuildAllServiceAttributeRegistries();

namespace {

// Function-local statics: registries register themselves during static initialisation, in
// an order no one controls, so the map must exist before the first of them.
std::mutex& registryMutex() {
    static std::mutex mutex;
    return mutex;
}

std::map<std::string, const AttributeRegistry*>& registries() {
    static std::map<std::string, const AttributeRegistry*> map;
    return map;
}

AttributeDescriptor idAttribute() {
    const ValueTypeOps& ops = valueTypeOps<std::string>();
    return AttributeDescriptor(
        AttributeDescriptor::kReadable, "ID", "GetInstanceID", ops, AttributeValue(std::string(), ops),
        "The service's ID", {}, {AttributeDescriptor(AttributeDescriptor::kPlainParameter, "id", ops,
                                                     AttributeValue(std::string(), ops), "The service's ID")},
        [](const MerrowService& service, const std::vector<AttributeValue>&,
           std::vector<AttributeValue>& results) {
            results.emplace_back(ServiceText(service), valueTypeOps<std::string>());
            return MerrowReturnValue();
        });
}

AttributeDescriptor statusAttribute() {
    using Status = UAEnums::OperationalStatus;
    const ValueTypeOps& ops = valueTypeOps<Status>();
    const char* text = "The service's Operational Status";
    return AttributeDescriptor(
        AttributeDescriptor::kReadable, "Status", "GetStatus", ops, AttributeValue(Status(), ops), text,
        {}, {AttributeDescriptor(AttributeDescriptor::kPlainParameter, "status", ops, AttributeValue(Status(), ops), text)},
        [](const MerrowService& service, const std::vector<AttributeValue>&,
           std::vector<AttributeValue>& results) {
            Status status;
            const MerrowReturnValue result = service.GetStatus(status);
            if (!result.isFailure())
                results.emplace_back(status, valueTypeOps<Status>());
            return result;
        });
}

} // namespace

AttributeRegistry::AttributeRegistry(std::string typeName,
                                     std::vector<AttributeDescriptor> attributes,
                                     HandleMaker makeHandle)
    : m_typeName(std::move(typeName)), m_attributes(std::move(attributes)),
      m_makeHandle(std::move(makeHandle)) {}

const AttributeDescriptor* AttributeRegistry::find(std::int32_t kind, const std::string& name) const {
    for (const AttributeDescriptor& attribute : m_attributes)
        if (attribute.kind() == kind && attribute.name() == name)
            return &attribute;
    for (const AttributeDescriptor& attribute : m_attributes)
        if (attribute.kind() == kind && TextUtil::equalsIgnoringCase(attribute.name(), name))
            return &attribute;
    return nullptr;
}

std::vector<AttributeDescriptor> AttributeRegistry::CommonAttributes() {
    return {idAttribute(), statusAttribute()};
}

const AttributeRegistry* AttributeRegistry::Find(const std::string& typeName) {
    BuildAllServiceAttributeRegistries();
    std::lock_guard lock(registryMutex());
    const auto found = registries().find(typeName);
    return found == registries().end() ? nullptr : found->second;
}

std::vector<const AttributeRegistry*> AttributeRegistry::All() {
    BuildAllServiceAttributeRegistries();
    std::lock_guard lock(registryMutex());
    std::vector<const AttributeRegistry*> all;
    for (const auto& [name, registry] : registries())
        all.push_back(registry);
    return all;
}

void AttributeRegistry::Register(const AttributeRegistry& registry) {
    std::lock_guard lock(registryMutex());
    registries()[registry.typeName()] = &registry;
}

std::any ServiceAsHandleValue(const char* typeName, const MerrowService& service) {
    const AttributeRegistry* registry = AttributeRegistry::Find(typeName);
    if (registry == nullptr || service.GetTypeName() != typeName)
        ValueText::fail(service.GetTypeName(), typeName);
    return registry->makeHandle(service);
}

std::string ServiceText(const MerrowService& service) {
    std::ostringstream text;
    text << service.GetInstanceID();
    return text.str();
}

} // namespace Merrow::UserAgent
