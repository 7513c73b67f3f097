// The details of one object: one "label : value" line each, the colons lined up.
#pragma once

#include <iosfwd>
#include <string>
#include <utility>
#include <vector>

namespace orvraid {

class DetailList {
public:
    void add(std::string label, std::string value);
    // As text, or as JSON when the stream asks for it (JsonOutput).
    void print(std::ostream& out) const;

private:
    std::vector<std::pair<std::string, std::string>> m_lines;
};

}  // namespace orvraid
