#pragma once

#include <string>
#include <vector>

namespace Merrow::UserAgent {

// The readable values of one service as the Show operation collects them: one name/value
// pair per readable attribute, in registry order. A getter that failed leaves its failure
// text as the value and `failed` set.
class AttributeSummary {
public:
    struct Pair {
        std::string name;
        std::string type;
        std::string value;              // lists as "[" a "," b "]"
        std::vector<std::string> items; // the items of a list value
        bool isList = false;
        bool failed = false;
    };

    void add(Pair pair) { m_pairs.push_back(std::move(pair)); }
    const std::vector<Pair>& pairs() const { return m_pairs; }
    const Pair* find(const std::string& name) const;

    // The tree as XML: "Summary" holds one "nameValuePair" per attribute, each with "name",
    // "type" and "value", and for a list also "list" with one "value" per item.
    std::string toXml() const;

private:
    std::vector<Pair> m_pairs;
};

} // namespace Merrow::UserAgent
