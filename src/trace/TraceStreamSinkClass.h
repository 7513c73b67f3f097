#pragma once

#include "trace/TraceStreamSinkInterface.h"

#include <set>
#include <string>
#include <string_view>

namespace Merrow::Trace {

// Base of the concrete sinks: holds the category filter set.
class TraceStreamSinkClass : public TraceStreamSinkInterface {
public:
    void addCategoryFilter(std::string category) { m_categoryFilter.insert(std::move(category)); }
    bool hasCategoryFilter() const { return !m_categoryFilter.empty(); }

    // Accepts a category when, after leading white space, the whole text or any prefix of it
    // that ends just before a "." is in the filter set.
    bool categoryAccepted(std::string_view category) const;

    // Fills the filter from a list such as "TC.VDS, TC.Error.FATAL"; separators are commas,
    // semicolons and white space.
    void setCategoryFilterList(std::string_view list);

private:
    bool filterListed(std::string_view category) const;

    std::set<std::string, std::less<>> m_categoryFilter;
};

} // namespace Merrow::Trace
