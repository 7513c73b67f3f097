#pragma once

#include "user_agent/base/MerrowReturnValue.h"

#include <any>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace Merrow::UserAgent {

class MerrowService;

// Finds the service that a text names, for parameters that take objects: `typeName` is the
// handle class wanted ("Service_Disk"), `text` what the caller wrote ("3", "iqn...").
// Front ends decide what a name means (a slot, a list index, an iSCSI name) and pass their
// resolver with the arguments; without one, object parameters cannot be given as text.
using ServiceResolver = std::function<MerrowReturnValue(const std::string& typeName,
                                                        const std::string& text,
                                                        MerrowService& service)>;

// What a text conversion may need beyond the text itself.
struct ValueContext {
    ServiceResolver resolver;
    // False checks arguments without naming objects: object arguments keep their empty
    // prototype, so a front end can refuse bad input before it reaches the array at all.
    bool resolveObjects = true;
};

// The operations on one value type that the by-name facility needs, type-erased over
// std::any (which also gives the copy). One static instance per type (ValueTraits.h).
// fromText throws MWEDataConversionError for text that does not describe a value.
struct ValueTypeOps {
    const char* typeName;   // "std::string", "StorageSize", "VolumeCompositionName", "Service_Disk"
    std::int32_t typeId;    // a UAEnums::UAValueType value
    bool isObject;          // a service handle or a list of them
    bool isList;
    std::string (*toText)(const std::any& value);
    void (*fromText)(const std::string& text, const ValueContext& context, std::any& value);
    // The handles a value holds, for walking from service to service; none for plain values.
    void (*toServices)(const std::any& value, std::vector<MerrowService>& services);
    // The text of each item of a list value; nothing for other values.
    void (*toItemTexts)(const std::any& value, std::vector<std::string>& items);
    // The texts an enumeration accepts, for help; empty for other types.
    std::vector<std::string> (*choices)();
};

} // namespace Merrow::UserAgent
