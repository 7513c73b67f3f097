#pragma once

#include <string>

namespace Merrow::Trace {

// Implemented by objects that want their identity in entry records.
class TraceAwareClass {
public:
    virtual ~TraceAwareClass() = default;
    // The class name shown before the method, e.g. "Service_DiskListImpl".
    virtual std::string className() const = 0;
    // Identity of this object, e.g. its CIM path.
    virtual void description(std::string& text) const = 0;
};

} // namespace Merrow::Trace
