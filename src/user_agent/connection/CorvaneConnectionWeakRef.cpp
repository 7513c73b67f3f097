#include "user_agent/connection/CorvaneConnectionWeakRef.h"

#include "user_agent/connection/CorvaneConnection.h"
#include "user_agent/connection/CorvaneConnectionImpl.h"

namespace Merrow::UserAgent {

CorvaneConnectionWeakRef::CorvaneConnectionWeakRef(const CorvaneConnection& connection)
    : CorvaneConnectionWeakRef(connection.GetConnectionImplPtr()) {}

CorvaneConnectionWeakRef::CorvaneConnectionWeakRef(
    const std::shared_ptr<CorvaneConnectionImpl>& impl)
    : m_impl(impl), m_isNull(impl == nullptr) {}

} // namespace Merrow::UserAgent
