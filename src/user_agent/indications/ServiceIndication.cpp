#include "user_agent/indications/ServiceIndication.h"

#include <utility>

namespace Merrow::UserAgent {

ServiceIndication::ServiceIndication() = default;

ServiceIndication::ServiceIndication(MerrowService service, std::int32_t code,
                                     MerrowReturnValue result, UAIndication cause)
    : m_service(std::move(service)), m_code(code), m_result(std::move(result)),
      m_cause(std::move(cause)) {}

} // namespace Merrow::UserAgent
