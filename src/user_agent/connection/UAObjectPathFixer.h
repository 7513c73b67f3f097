#pragma once

#include "cim/value/CIMObjectPath.h"

namespace Merrow::UserAgent {

// Some array providers only find an instance when its identifying key comes first in the
// path they are given, or is the only key. For the classes known to need it this rewrites a
// path whose identifying key is not first into one that carries just that key.
class UAObjectPathFixer {
public:
    // The path to send instead of `path`: itself when its class is not affected, when the
    // identifying key already comes first, or when the key is missing (traced as a warning).
    static cim::CIMObjectPath FixObjectPathForBadProviders(const cim::CIMObjectPath& path);

    // The identifying key property of a class, null when the class is not affected.
    static const char* identifyingKeyOf(const cim::CIMName& className);
};

} // namespace Merrow::UserAgent
