#pragma once

// The indication handlers, filters and subscriptions clients create and delete
// (CreateInstance and DeleteInstance answer for these classes only). They are kept in
// the array's state as the client sent them, with the keys the array fills in
// (SystemName, SystemCreationClassName, CreationClassName), so they survive a restart.
//
// Refusals are CIM errors: an unknown class CIM_ERR_NOT_SUPPORTED, a missing or bad
// property CIM_ERR_INVALID_PARAMETER, an unsupported query language
// CIM_ERR_QUERY_LANGUAGE_NOT_SUPPORTED, a query the array cannot evaluate
// CIM_ERR_INVALID_QUERY, a second object with the same keys CIM_ERR_ALREADY_EXISTS, a
// filter or handler that a subscription still uses CIM_ERR_FAILED.

#include "sim/ArrayModel.h"

#include "cim/value/CIMInstance.h"
#include "cim/value/CIMObjectPath.h"

namespace Merrow::Sim {

class ListenerObjects {
public:
    static bool isListenerClass(const ClassInfo& cls);
    // Throws cim::CIMException; returns the new instance's path.
    static cim::CIMObjectPath create(ModelTransaction& transaction, cim::CIMInstance instance);
    static void remove(ModelTransaction& transaction, const cim::CIMObjectPath& path);
    // Replaces the stored instance of an existing object (ModifyInstance).
    static void replace(ModelTransaction& transaction, const StoredObject& object, const cim::CIMInstance& instance);

    // The handler destination of an "http://host:port/path" URL; false for anything else.
    static bool parseDestination(const std::string& url, std::string& host, std::uint16_t& port, std::string& target);

private:
    static void fillKeys(const ModelView& view, const ClassInfo& cls, cim::CIMInstance& instance);
    static void validate(const ModelView& view, const ClassInfo& cls, const cim::CIMInstance& instance);
};

} // namespace Merrow::Sim
