#pragma once

#include "user_agent/attributes/AttributeValue.h"
#include "user_agent/base/MerrowReturnValue.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace Merrow::UserAgent {

class MerrowService;

// One attribute of a service class (a readable property, a writable property or an
// action) or one parameter or result of such an attribute. Built once before main from the
// facade's table (AttributeRegistryDefinitions.inc) and never changed.
class AttributeDescriptor {
public:
    // Kinds of attributes...
    static constexpr std::int32_t kReadable = 1;
    static constexpr std::int32_t kWritable = 2;
    static constexpr std::int32_t kAction = 3;
    // ...and of parameters.
    static constexpr std::int32_t kPlainParameter = 2;
    static constexpr std::int32_t kObjectParameter = 3;

    // Calls the typed operation with `inputs` (one per parameter, in order, of the parameter
    // types) and appends one value per result.
    using Invoker = std::function<MerrowReturnValue(const MerrowService& service,
                                                    const std::vector<AttributeValue>& inputs,
                                                    std::vector<AttributeValue>& results)>;

    // A parameter or result.
    AttributeDescriptor(std::int32_t kind, std::string name, const ValueTypeOps& ops,
                        AttributeValue prototype, std::string description);
    // An attribute.
    AttributeDescriptor(std::int32_t kind, std::string name, std::string operation,
                        const ValueTypeOps& ops, AttributeValue prototype,
                        std::string description, std::vector<AttributeDescriptor> parameters,
                        std::vector<AttributeDescriptor> results, Invoker invoker);

    std::int32_t kind() const { return m_kind; }
    const std::string& name() const { return m_name; }
    // The typed operation behind an attribute ("GetServiceVolumeList"); empty for parameters.
    const std::string& operation() const { return m_operation; }
    const ValueTypeOps& ops() const { return *m_ops; }
    std::int32_t typeId() const { return m_ops->typeId; }
    const AttributeValue& prototype() const { return m_prototype; }
    const std::string& description() const { return m_description; }
    const std::vector<AttributeDescriptor>& parameters() const { return m_parameters; }
    const std::vector<AttributeDescriptor>& results() const { return m_results; }

    // The fewest arguments invoke by name takes (the parameter count unless trailing ones
    // may be left out) and the message for a count outside the range.
    std::size_t minimumArguments() const { return m_minimumArguments; }
    std::string argumentCountMessage() const;
    void allowOmittedArguments(std::size_t minimum, std::string message);
    // The index of the parameter named `name`, or the parameter count when there is none.
    std::size_t parameterIndex(const std::string& name) const;

    MerrowReturnValue invoke(const MerrowService& service, const std::vector<AttributeValue>& inputs,
                             std::vector<AttributeValue>& results) const;

private:
    std::int32_t m_kind;
    std::string m_name;
    std::string m_operation;
    const ValueTypeOps* m_ops;
    AttributeValue m_prototype;
    std::string m_description;
    std::vector<AttributeDescriptor> m_parameters;
    std::vector<AttributeDescriptor> m_results;
    Invoker m_invoker;
    std::size_t m_minimumArguments = 0;
    std::string m_argumentCountMessage;
};

} // namespace Merrow::UserAgent
