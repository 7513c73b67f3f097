#pragma once

#include "user_agent/attributes/AttributeDescriptor.h"

#include <any>
#include <functional>
#include <string>
#include <vector>

namespace Merrow::UserAgent {

class MerrowService;

// The attributes of one service class, in declaration order after "ID" and "Status". One
// registry per class, generated from the facade's table (AttributeRegistryDefinitions.inc),
// built by static initialisation before main and read-only from then on, shared by every
// instance of the class.
class AttributeRegistry {
public:
    // The typed handle of this class, as a std::any, for a service of this class.
    using HandleMaker = std::function<std::any(const MerrowService& service)>;

    AttributeRegistry(std::string typeName, std::vector<AttributeDescriptor> attributes,
                      HandleMaker makeHandle);

    const std::string& typeName() const { return m_typeName; }
    const std::vector<AttributeDescriptor>& attributes() const { return m_attributes; }
    // The attribute of that kind and name; an exact match first, then one ignoring case.
    const AttributeDescriptor* find(std::int32_t kind, const std::string& name) const;
    std::any makeHandle(const MerrowService& service) const { return m_makeHandle(service); }

    // "ID" and "Status", which every class starts with.
    static std::vector<AttributeDescriptor> CommonAttributes();

    // The registry of a service class ("Service_Volume"), null for an unknown class.
    static const AttributeRegistry* Find(const std::string& typeName);
    // Every registry, by class name.
    static std::vector<const AttributeRegistry*> All();
    // Called by each generated registry when it is built.
    static void Register(const AttributeRegistry& registry);

private:
    std::string m_typeName;
    std::vector<AttributeDescriptor> m_attributes;
    HandleMaker m_makeHandle;
};

} // namespace Merrow::UserAgent
