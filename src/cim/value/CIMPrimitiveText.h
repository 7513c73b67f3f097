// The text of one stored primitive scalar (number, boolean, string, date/time), shared by the
// value's own text form and the CIM-XML encoder so that both spell values the same way.
#pragma once

#include <cstdint>
#include <string>

#include "cim/value/CIMDateTime.h"
#include "cim/value/CIMScalarText.h"
#include "cim/value/CIMTextRules.h"
#include "cim/value/CIMType.h"

namespace cim::detail {

// A visitor over the primitive alternatives of a value's storage; `type` tells char16 from
// the other unsigned numbers and real32 from real64, which share a stored form.
struct CIMPrimitiveText {
    CIMType type;
    std::string& out;

    void operator()(bool value) const { appendBoolean(out, value); }
    void operator()(uint64_t value) const {
        if (type == CIMType::Char16) {
            appendUtf8(out, static_cast<char32_t>(value));
        } else {
            appendUnsigned(out, value);
        }
    }
    void operator()(int64_t value) const { appendSigned(out, value); }
    void operator()(double value) const {
        if (type == CIMType::Real32) {
            appendReal32(out, static_cast<float>(value));
        } else {
            appendReal64(out, value);
        }
    }
    void operator()(const std::string& value) const { out += value; }
    void operator()(const CIMDateTime& value) const { out += value.text(); }
};

} // namespace cim::detail
