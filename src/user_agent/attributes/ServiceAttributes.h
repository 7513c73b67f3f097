#pragma once

#include "user_agent/attributes/AttributeRegistry.h"
#include "user_agent/attributes/AttributeSummary.h"
#include "user_agent/attributes/AttributeValue.h"
#include "user_agent/attributes/ValueTypeOps.h"
#include "user_agent/base/MerrowReturnValue.h"

#include <string>
#include <vector>

namespace Merrow::UserAgent {

class MerrowService;

// The by-name facilities of every service, driven by the registry of the service's class:
// help, the summary of readable values (Show), reading, setting and invoking one attribute
// by name with text values, and walking from a service to the services an attribute holds.
// Every check (attribute name, argument count, stripe rules, text conversion, secret
// length) happens before the typed operation runs, so a refused call sends nothing to the
// array. No operation lets an exception out.
class ServiceAttributes {
public:
    // The stripe depth used when a caller by name leaves it out: the smallest the array
    // takes ("32KB").
    static constexpr std::uint32_t kDefaultStripeDepth = 32768;

    static MerrowReturnValue Help(const std::string& typeName, std::string& text);
    static MerrowReturnValue Show(const MerrowService& service, AttributeSummary& summary);
    static MerrowReturnValue Get(const MerrowService& service, const std::string& name,
                                 std::string& text);
    // The typed value, for walking: AttributeValue::services() lists the handles it holds.
    static MerrowReturnValue GetValue(const MerrowService& service, const std::string& name,
                                      AttributeValue& value);
    static MerrowReturnValue Set(const MerrowService& service, const std::string& name,
                                 const std::string& text, const ValueContext& context = {});
    // Arguments in parameter order; trailing ones may be left out where the action allows.
    // `results` receives the action's results (a created volume, a size).
    static MerrowReturnValue Invoke(const MerrowService& service, const std::string& name,
                                    const std::vector<std::string>& arguments,
                                    const ValueContext& context,
                                    std::vector<AttributeValue>& results);
    // The arguments converted and completed as Invoke would pass them, without calling.
    static MerrowReturnValue PrepareArguments(const AttributeDescriptor& action,
                                              const std::vector<std::string>& arguments,
                                              const ValueContext& context,
                                              std::vector<AttributeValue>& inputs);

    // The value text converted as Set would pass it, with the "Secret" rule, without calling.
    static MerrowReturnValue PrepareValue(const AttributeDescriptor& setter, const std::string& text,
                                          const ValueContext& context, AttributeValue& value);

    // The registry of the service's class; UA_E_SERVICE_INVALID for a handle without one.
    static MerrowReturnValue RegistryOf(const MerrowService& service,
                                        const AttributeRegistry*& registry);
    static MerrowReturnValue Find(const MerrowService& service, std::int32_t kind,
                                  const std::string& name, const AttributeDescriptor*& attribute);
};

} // namespace Merrow::UserAgent
