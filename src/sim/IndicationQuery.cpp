#include "sim/IndicationQuery.h"

#include <sstream>
#include <strings.h>
#include <vector>

namespace Merrow::Sim {

namespace {

bool is(const std::string& word, const char* keyword)
{
    return ::strcasecmp(word.c_str(), keyword) == 0;
}

} // namespace

std::optional<IndicationQuery> IndicationQuery::parse(const std::string& text)
{
    std::istringstream in(text);
    std::vector<std::string> words;
    for (std::string word; in >> word;)
        words.push_back(word);
    if (words.size() != 4 && words.size() != 8)
        return std::nullopt;
    if (!is(words[0], "SELECT") || words[1] != "*" || !is(words[2], "FROM"))
        return std::nullopt;
    const ClassRegistry& registry = ClassRegistry::instance();
    const ClassInfo* indication = registry.find(Namespaces::Storage, words[3]);
    const ClassInfo* root = registry.find(Namespaces::Storage, "CIM_Indication");
    if (indication == nullptr || !indication->isA(*root))
        return std::nullopt;
    IndicationQuery query{indication, nullptr};
    if (words.size() == 4)
        return query;
    if (!is(words[4], "WHERE") || !is(words[5], "SourceInstance") || !is(words[6], "ISA"))
        return std::nullopt;
    query.sourceClass = registry.find(Namespaces::Storage, words[7]);
    if (query.sourceClass == nullptr)
        return std::nullopt;
    return query;
}

bool IndicationQuery::languageSupported(const std::string& language)
{
    return is(language, "WQL") || is(language, "DMTF:CQL") || is(language, "CQL");
}

bool IndicationQuery::matches(const ClassInfo& indication, const ClassInfo& source) const
{
    if (!indication.isA(*indicationClass))
        return false;
    return sourceClass == nullptr || source.isA(*sourceClass);
}

} // namespace Merrow::Sim
