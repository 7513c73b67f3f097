#include "user_agent/attributes/AttributeSummary.h"

namespace Merrow::UserAgent {
namespace {

std::string escaped(const std::string& text) {
    std::string out;
    for (const char c : text) {
        switch (c) {
        case '<': out += "&lt;"; break;
        case '>': out += "&gt;"; break;
        case '&': out += "&amp;"; break;
        case '"': out += "&quot;"; break;
        default: out += c;
        }
    }
    return out;
}

std::string element(const char* name, const std::string& text) {
    return std::string("<") + name + ">" + escaped(text) + "</" + name + ">";
}

} // namespace

const AttributeSummary::Pair* AttributeSummary::find(const std::string& name) const {
    for (const Pair& pair : m_pairs)
        if (pair.name == name)
            return &pair;
    return nullptr;
}

std::string AttributeSummary::toXml() const {
    std::string xml = "<Summary>\n";
    for (const Pair& pair : m_pairs) {
        xml += "  <nameValuePair>" + element("name", pair.name) + element("type", pair.type) +
               element("value", pair.value);
        if (pair.isList) {
            xml += "<list>";
            for (const std::string& item : pair.items)
                xml += element("value", item);
            xml += "</list>";
        }
        xml += "</nameValuePair>\n";
    }
    return xml + "</Summary>\n";
}

} // namespace Merrow::UserAgent
