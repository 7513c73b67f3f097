#pragma once

// The classes the simulated array knows, per namespace: superclass, key properties and,
// for associations, the two roles. This one table decides which classes exist (unknown
// ones answer CIM_ERR_INVALID_CLASS), which instances an enumeration of a class returns
// (the class and all its subclasses) and which objects an association walk may reach.
//
// Primary key: for most classes one key property identifies an instance on its own (the
// array numbers its objects uniquely), and clients may address an instance by that key
// alone, which some client libraries do for classes whose key order they do not trust.
// Classes without one (associations, indication subscriptions) are identified by all keys.

#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace Merrow::Sim {

namespace Namespaces {
inline constexpr const char* Storage = "root/snia";
inline constexpr const char* Internal = "root/PG_Internal";
inline constexpr const char* Control = "root/corvane_sim";
} // namespace Namespaces

struct ClassInfo {
    std::string name;
    const ClassInfo* superclass = nullptr;
    std::string nameSpace;
    // All key properties, inherited ones first.
    std::vector<std::string> keys;
    // Empty when the instance is identified by all keys.
    std::string primaryKey;
    // The two reference roles of an association; empty for other classes.
    std::vector<std::string> roles;
    // Position in the table; subclasses always come after their superclass.
    std::size_t order = 0;

    bool isAssociation() const { return !roles.empty(); }
    bool isA(const ClassInfo& other) const;
};

class ClassRegistry {
public:
    // The registry of every class the simulated array serves; built once.
    static const ClassRegistry& instance();

    bool hasNamespace(std::string_view nameSpace) const;
    // The class of that name (case-insensitive) in the namespace, or nullptr.
    const ClassInfo* find(std::string_view nameSpace, std::string_view className) const;
    // The class and all its subclasses, in table order.
    std::vector<const ClassInfo*> family(const ClassInfo& root) const;
    // Every class of the namespace, in table order.
    std::vector<const ClassInfo*> classesOf(std::string_view nameSpace) const;

private:
    ClassRegistry();

    std::vector<std::unique_ptr<ClassInfo>> m_classes;
};

} // namespace Merrow::Sim
