#pragma once

#include <cstdint>
#include <string_view>

namespace Merrow::Trace {

// Where finished trace records go. One sink serves the whole process; it may be called from
// any thread, so implementations serialise their own output.
class TraceStreamSinkInterface {
public:
    virtual bool write(std::string_view file, int32_t line, std::string_view function,
                       std::string_view prefix, uint32_t verbosity, std::string_view category,
                       std::string_view message) = 0;
    virtual ~TraceStreamSinkInterface() = default;

    // Cheap pre-check made before a record is built. It must answer true whenever write()
    // could produce output for this verbosity, so skipping the record never loses anything.
    virtual bool mayWrite(uint32_t verbosity) const = 0;
};

} // namespace Merrow::Trace
