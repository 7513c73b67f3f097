#pragma once

// The one table of extrinsic methods the simulated array answers: class, method, the
// in-parameters with their CIM types, and the handler. A method belongs to its class and
// every subclass (the storage configuration methods of CIM_StorageConfigurationService
// answer on Merrow_StorageConfigurationService too).

#include "sim/ClassRegistry.h"
#include "sim/MethodCall.h"

#include "cim/value/CIMType.h"

#include <cstdint>
#include <string_view>
#include <vector>

namespace Merrow::Sim {

struct ParameterSpec {
    const char* name;
    cim::CIMType type;
    bool isArray = false;
};

struct MethodSpec {
    const char* className;
    const char* methodName;
    std::vector<ParameterSpec> in;
    std::uint32_t (*handler)(MethodCall&);
    // Methods that only read let the dispatcher skip the commit (and the state file).
    bool changesModel = true;
};

class MethodTable {
public:
    // The method of that name on the class or its nearest superclass, or nullptr.
    static const MethodSpec* find(const ClassInfo& cls, std::string_view methodName);
    static const std::vector<MethodSpec>& all();
};

} // namespace Merrow::Sim
