#pragma once

#include "user_agent/attributes/AttributeSummary.h"
#include "user_agent/attributes/AttributeValue.h"

#include <nlohmann/json.hpp>

#include <ostream>
#include <string>
#include <vector>

namespace corvane {

// What the commands print: aligned "name: value" lines for people, or with --json one
// JSON document per command (one object per line for watch).
class CorvaneOutput {
public:
    CorvaneOutput(std::ostream& out, bool json) : m_out(out), m_json(json) {}

    bool isJson() const { return m_json; }
    void summaries(const std::vector<std::string>& titles,
                   const std::vector<Merrow::UserAgent::AttributeSummary>& summaries);
    // One value per service the words named: a line each, or one JSON object whose value is
    // an array when the words name a list of services.
    void values(const std::string& service, const std::string& attribute,
                const std::vector<std::string>& texts, bool many);
    void done(const std::string& service, const std::string& what);
    void results(const std::string& service, const std::string& action,
                 const std::vector<std::string>& names,
                 const std::vector<Merrow::UserAgent::AttributeValue>& values);
    void text(const std::string& text);
    void flush() { m_out.flush(); }
    // One JSON object on one line, flushed (watch).
    void line(const nlohmann::json& object);

private:
    std::ostream& m_out;
    bool m_json;
};

} // namespace corvane
