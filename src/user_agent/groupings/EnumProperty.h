#pragma once

#include "trace/Trace.h"
#include "user_agent/base/EnumBase.h"
#include "user_agent/base/MerrowReturnValue.h"

#include <cstdint>
#include <string>

namespace Merrow::UserAgent {

// A numeric CIM property as one of the array's enumerations, through the generated accessor
// `get` of a profile: the number read becomes the enumeration's value, whether or not it
// may be chosen, so that "Unknown" shows as the array reports it.
template <typename Number, typename Enum, typename Profile>
MerrowReturnValue ReadEnumProperty(Profile& profile, MerrowReturnValue (Profile::*get)(Number&),
                                   Enum& value) {
    Number number{};
    const MerrowReturnValue result = (profile.*get)(number);
    if (!result.isFailure())
        value.setValue(static_cast<std::int32_t>(number));
    return result;
}

// Writes an enumeration through the generated setter `set`. A value whose row may not be
// chosen (or that is not in the table) is refused with UA_E_INVALIDARG before any request.
template <typename Number, typename Enum, typename Profile>
MerrowReturnValue WriteEnumProperty(Profile& profile,
                                    MerrowReturnValue (Profile::*set)(const Number&),
                                    const Enum& value) {
    Enum chosen;
    if (!chosen.setFromCIM(value.toCIM())) {
        const std::string text = "Invalid " + std::string(value.enumName()) +
                                 " value: '" + value.toString() + "' cannot be set";
        MWTRACE(Trace::TV_SEVERE, Trace::TC_ERROR_INTERNAL_API_FAILURE) << text << MWENDREC;
        return MerrowReturnValue(MerrowReturnValue::UA_E_INVALIDARG, text);
    }
    return (profile.*set)(static_cast<Number>(chosen.toCIM()));
}

} // namespace Merrow::UserAgent
