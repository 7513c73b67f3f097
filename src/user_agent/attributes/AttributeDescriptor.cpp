#include "user_agent/attributes/AttributeDescriptor.h"

#include "user_agent/indications/MerrowService.h"

namespace Merrow::UserAgent {

AttributeDescriptor::AttributeDescriptor(std::int32_t kind, std::string name,
                                         const ValueTypeOps& ops, AttributeValue prototype,
                                         std::string description)
    : m_kind(kind), m_name(std::move(name)), m_ops(&ops), m_prototype(std::move(prototype)),
      m_description(std::move(description)) {}

AttributeDescriptor::AttributeDescriptor(std::int32_t kind, std::string name,
                                         std::string operation, const ValueTypeOps& ops,
                                         AttributeValue prototype, std::string description,
                                         std::vector<AttributeDescriptor> parameters,
                                         std::vector<AttributeDescriptor> results,
                                         Invoker invoker)
    : m_kind(kind), m_name(std::move(name)), m_operation(std::move(operation)), m_ops(&ops),
      m_prototype(std::move(prototype)), m_description(std::move(description)),
      m_parameters(std::move(parameters)), m_results(std::move(results)),
      m_invoker(std::move(invoker)), m_minimumArguments(m_parameters.size()) {}

std::string AttributeDescriptor::argumentCountMessage() const {
    if (!m_argumentCountMessage.empty())
        return m_argumentCountMessage;
    return "Expected " + std::to_string(m_parameters.size()) + " arguments";
}

void AttributeDescriptor::allowOmittedArguments(std::size_t minimum, std::string message) {
    m_minimumArguments = minimum;
    m_argumentCountMessage = std::move(message);
}

std::size_t AttributeDescriptor::parameterIndex(const std::string& name) const {
    for (std::size_t i = 0; i < m_parameters.size(); ++i)
        if (m_parameters[i].name() == name)
            return i;
    return m_parameters.size();
}

MerrowReturnValue AttributeDescriptor::invoke(const MerrowService& service,
                                              const std::vector<AttributeValue>& inputs,
                                              std::vector<AttributeValue>& results) const {
    if (!m_invoker || inputs.size() != m_parameters.size())
        return MerrowReturnValue(MerrowReturnValue::UA_E_INVALIDARG, argumentCountMessage());
    return m_invoker(service, inputs, results);
}

} // namespace Merrow::UserAgent
