// Inside of CIMValue, for the value model and the CIM-XML codec only.
#pragma once

#include <variant>
#include <vector>

#include "cim/value/CIMObject.h"
#include "cim/value/CIMValue.h"

namespace cim::detail {

/// Array data. Elements are stored by kind: every unsigned width and char16 as uint64_t,
/// every signed width as int64_t, real32 and real64 as double, embedded objects as CIMObject.
/// `nulls` is empty when no element is null, otherwise one flag per element.
struct CIMArrayRep {
    using Elements =
        std::variant<std::vector<bool>, std::vector<uint64_t>, std::vector<int64_t>,
                     std::vector<double>, std::vector<std::string>, std::vector<CIMDateTime>,
                     std::vector<CIMObjectPath>, std::vector<CIMObject>>;
    Elements elements;
    std::vector<bool> nulls;
};

/// Direct access to the storage of a CIMValue for the codec, which reads and builds values
/// in bulk.
class CIMValueAccess {
public:
    using Storage = CIMValue::Storage;

    static const Storage& storage(const CIMValue& value) noexcept { return value.m_data; }
    static CIMValue make(CIMType type, bool isArray, Storage data) {
        return CIMValue(type, isArray, std::move(data));
    }
};

} // namespace cim::detail
