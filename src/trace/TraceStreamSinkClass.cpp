#include "trace/TraceStreamSinkClass.h"

#include "trace/TraceFormat.h"

namespace Merrow::Trace {

bool TraceStreamSinkClass::filterListed(std::string_view category) const {
    if (m_categoryFilter.count(category))
        return true;
    for (auto dot = category.find('.'); dot != std::string_view::npos;
         dot = category.find('.', dot + 1)) {
        if (m_categoryFilter.count(category.substr(0, dot)))
            return true;
    }
    return false;
}

// The filter takes the full name or the abbreviation the records show ("ICE.Entry" for
// "TC.Info.Codepath.EntryExit.Entry"), so a category can be copied from a record.
bool TraceStreamSinkClass::categoryAccepted(std::string_view category) const {
    const auto start = category.find_first_not_of(" \t\r\n");
    if (start == std::string_view::npos)
        return false;
    category.remove_prefix(start);
    return filterListed(category) || filterListed(TraceFormat::categoryAbbreviation(category));
}

void TraceStreamSinkClass::setCategoryFilterList(std::string_view list) {
    constexpr std::string_view separators = ",; \t\r\n";
    size_t pos = 0;
    while ((pos = list.find_first_not_of(separators, pos)) != std::string_view::npos) {
        const auto end = list.find_first_of(separators, pos);
        m_categoryFilter.emplace(list.substr(pos, end - pos));
        pos = end;
    }
}

} // namespace Merrow::Trace
