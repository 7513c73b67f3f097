#include "DetailList.h"

#include "DisplayWidth.h"
#include "JsonOutput.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <ostream>

namespace orvraid {

void DetailList::add(std::string label, std::string value)
{
    m_lines.emplace_back(std::move(label), std::move(value));
}

void DetailList::print(std::ostream& out) const
{
    if (JsonOutput::enabled(out)) {
        nlohmann::json object = nlohmann::json::object();
        for (const auto& [label, value] : m_lines)
            object[label] = value;
        out << object.dump(2, ' ', false, nlohmann::json::error_handler_t::replace) << '\n';
        return;
    }
    std::size_t width = 0;
    for (const auto& line : m_lines)
        width = std::max(width, displayWidth(line.first));
    for (const auto& [label, value] : m_lines) {
        std::string text = label + std::string(width - displayWidth(label), ' ') + " : " + value;
        text.erase(text.find_last_not_of(' ') + 1);
        out << text << '\n';
    }
}

}  // namespace orvraid
