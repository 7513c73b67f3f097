#pragma once

// The last call of each extrinsic method the array answered, with the parameters as the
// method received them (declared names, declared types), so that a test can check what a
// client sent: that a flag was true, that a reference with an empty path was left out.
// A call is recorded once the method ran, whatever number it answered; calls refused with a
// CIM error (unknown parameter, missing object) and calls to the control namespace are not.
//
// Threads: any; m_mutex guards m_calls.

#include "cim/value/CIMValue.h"

#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>

namespace Merrow::Sim {

struct RecordedCall {
    // The class of the object the method ran on.
    std::string className;
    // Only the parameters the client sent.
    std::map<std::string, cim::CIMValue> parameters;
};

class MethodCallLog {
public:
    void record(const std::string& methodName, RecordedCall call);
    // The last call of the method (name compared without case), or nullopt.
    std::optional<RecordedCall> last(std::string_view methodName) const;
    void clear();

private:
    mutable std::mutex m_mutex;
    std::map<std::string, RecordedCall, std::less<>> m_calls;
};

} // namespace Merrow::Sim
