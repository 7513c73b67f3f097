#pragma once

// The filter queries the simulated array understands, in WQL or CQL:
//
//   SELECT * FROM <indication class> [WHERE SourceInstance ISA <class>]
//
// Keywords are case-insensitive. An indication matches when its class is the FROM class
// or a subclass of it, and its source instance is of the ISA class or a subclass.

#include "sim/ClassRegistry.h"

#include <optional>
#include <string>

namespace Merrow::Sim {

struct IndicationQuery {
    const ClassInfo* indicationClass = nullptr;
    const ClassInfo* sourceClass = nullptr;

    // nullopt when the text is not such a query or names unknown classes.
    static std::optional<IndicationQuery> parse(const std::string& text);
    static bool languageSupported(const std::string& language);

    bool matches(const ClassInfo& indication, const ClassInfo& source) const;
};

} // namespace Merrow::Sim
