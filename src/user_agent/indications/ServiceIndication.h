#pragma once

#include "user_agent/base/MerrowReturnValue.h"
#include "user_agent/indications/MerrowService.h"
#include "user_agent/indications/UAIndication.h"

#include <cstdint>

namespace Merrow::UserAgent {

// A notice to the layer above that one service changed, needs attention or was removed,
// with the indication that caused it (an empty one when there was none). The provider takes
// these from the library root's queue.
class ServiceIndication {
public:
    enum Code : std::int32_t {
        // The service changed or needs attention.
        ServiceChanged = 0,
        // The service's array objects are gone.
        ServiceRemoved = 2,
    };

    ServiceIndication();
    ServiceIndication(MerrowService service, std::int32_t code, MerrowReturnValue result,
                      UAIndication cause);

    const MerrowService& GetService() const { return m_service; }
    std::int32_t GetCode() const { return m_code; }
    const MerrowReturnValue& GetReturnValue() const { return m_result; }
    const UAIndication& GetIndication() const { return m_cause; }

private:
    MerrowService m_service;
    std::int32_t m_code = ServiceChanged;
    MerrowReturnValue m_result;
    UAIndication m_cause;
};

} // namespace Merrow::UserAgent
