// CIMError: the ERROR element of a CIM-XML response.
#pragma once

#include <string>
#include <vector>

#include "cim/value/CIMException.h"
#include "cim/value/CIMInstance.h"

namespace cim {

/// A CIM status carried in an ERROR element: CODE, the optional DESCRIPTION and any
/// CIM_Error instances the server attached.
struct CIMError {
    CIMStatusCode code = CIMStatusCode::Failed;
    std::string description;
    std::vector<CIMInstance> instances;

    CIMException toException() const { return CIMException(code, description); }

    friend bool operator==(const CIMError&, const CIMError&) = default;
};

} // namespace cim
