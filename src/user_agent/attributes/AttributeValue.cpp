#include "user_agent/attributes/AttributeValue.h"

#include "user_agent/indications/MerrowService.h"

namespace Merrow::UserAgent {

std::string AttributeValue::toText() const {
    return hasValue() ? m_ops->toText(m_value) : std::string();
}

std::vector<MerrowService> AttributeValue::services() const {
    std::vector<MerrowService> result;
    if (hasValue())
        m_ops->toServices(m_value, result);
    return result;
}

std::vector<std::string> AttributeValue::itemTexts() const {
    std::vector<std::string> items;
    if (hasValue())
        m_ops->toItemTexts(m_value, items);
    return items;
}

} // namespace Merrow::UserAgent
