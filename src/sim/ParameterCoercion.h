#pragma once

// Brings the parameters of a method call to the types the method declares. Clients that
// send no PARAMTYPE (wbemcli among them) send every value as text; others send an integer
// of another width than declared. A value that cannot be read as the declared type, and a
// parameter the method does not have, are refused with CIM_ERR_INVALID_PARAMETER.

#include "sim/MethodTable.h"

#include "cim/value/CIMParamValue.h"

#include <map>
#include <string>
#include <vector>

namespace Merrow::Sim {

class ParameterCoercion {
public:
    // The parameters by their declared names. Throws cim::CIMException.
    static std::map<std::string, cim::CIMValue> coerce(const std::vector<ParameterSpec>& specs,
                                                       const std::vector<cim::CIMParamValue>& given);
    static cim::CIMValue convert(const ParameterSpec& spec, const cim::CIMParamValue& given);
};

} // namespace Merrow::Sim
