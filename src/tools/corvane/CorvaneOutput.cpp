#include "CorvaneOutput.h"

#include <algorithm>

namespace corvane {

using json = nlohmann::json;

namespace {

json pairJson(const Merrow::UserAgent::AttributeSummary::Pair& pair) {
    json object{{"name", pair.name}, {"type", pair.type}};
    if (pair.failed)
        object["error"] = pair.value;
    else if (pair.isList)
        object["value"] = pair.items;
    else
        object["value"] = pair.value;
    return object;
}

} // namespace

void CorvaneOutput::summaries(const std::vector<std::string>& titles,
                              const std::vector<Merrow::UserAgent::AttributeSummary>& summaries) {
    if (m_json) {
        json all = json::array();
        for (std::size_t i = 0; i < summaries.size(); ++i) {
            json attributes = json::array();
            for (const auto& pair : summaries[i].pairs())
                attributes.push_back(pairJson(pair));
            all.push_back({{"service", titles[i]}, {"attributes", attributes}});
        }
        m_out << all.dump(2) << "\n";
        return;
    }
    for (std::size_t i = 0; i < summaries.size(); ++i) {
        m_out << (i ? "\n" : "") << titles[i] << "\n";
        std::size_t width = 0;
        for (const auto& pair : summaries[i].pairs())
            width = std::max(width, pair.name.size());
        for (const auto& pair : summaries[i].pairs())
            m_out << "  " << pair.name << std::string(width - pair.name.size(), ' ') << "  "
                  << (pair.failed ? "(" + pair.value + ")" : pair.value) << "\n";
    }
}

void CorvaneOutput::values(const std::string& service, const std::string& attribute,
                           const std::vector<std::string>& texts, bool many) {
    if (m_json) {
        const json value = many || texts.size() != 1 ? json(texts) : json(texts.front());
        m_out << json{{"service", service}, {"attribute", attribute}, {"value", value}}.dump() << "\n";
        return;
    }
    for (const std::string& text : texts)
        m_out << text << "\n";
}

void CorvaneOutput::done(const std::string& service, const std::string& what) {
    if (m_json)
        m_out << json{{"service", service}, {"done", what}}.dump() << "\n";
    else
        m_out << what << ": done\n";
}

void CorvaneOutput::results(const std::string& service, const std::string& action,
                            const std::vector<std::string>& names,
                            const std::vector<Merrow::UserAgent::AttributeValue>& values) {
    if (m_json) {
        json results = json::object();
        for (std::size_t i = 0; i < values.size() && i < names.size(); ++i)
            results[names[i]] = values[i].isList() ? json(values[i].itemTexts()) : json(values[i].toText());
        m_out << json{{"service", service}, {"action", action}, {"results", results}}.dump() << "\n";
        return;
    }
    m_out << action << ": done\n";
    for (std::size_t i = 0; i < values.size() && i < names.size(); ++i)
        m_out << "  " << names[i] << "  " << values[i].toText() << "\n";
}

void CorvaneOutput::text(const std::string& text) { m_out << text; }

void CorvaneOutput::line(const json& object) { m_out << object.dump() << std::endl; }

} // namespace corvane
