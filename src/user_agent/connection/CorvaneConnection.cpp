#include "user_agent/connection/CorvaneConnection.h"

#include "trace/Trace.h"
#include "user_agent/base/MWExceptions.h"
#include "user_agent/connection/CorvaneConnectionImpl.h"
#include "user_agent/connection/CorvaneConnectionWeakRef.h"

#include "trace/SourceLocation.h"
#include <utility>

namespace Merrow::UserAgent {

namespace {

using namespace Merrow::Trace;
using R = MerrowReturnValue;

std::shared_ptr<CorvaneConnectionImpl> lockOrThrow(const CorvaneConnectionWeakRef& weakRef) {
    if (weakRef.IsNull())
        throw MWEBadPointer("Null pointer for weakref", __FILE__, __LINE__, __PRETTY_FUNCTION__);
    auto impl = weakRef.Lock();
    if (!impl)
        throw MWEBadPointer("Invalid CorvaneConnection for weakref (m_pImpl == NULL)", __FILE__,
                            __LINE__, __PRETTY_FUNCTION__);
    return impl;
}

// The facade boundary, except that a handle without connection answers UA_E_FAIL: the layer
// above tells "no connection object" from "no service" by that.
template <typename Body>
MerrowReturnValue connectionCall(const CorvaneConnection& handle, const char* function, Body&& body,
                                 Merrow::Trace::SourceLocation where = Merrow::Trace::SourceLocation::current()) {
    const std::shared_ptr<CorvaneConnectionImpl> impl = handle.GetConnectionImplPtr();
    if (!impl)
        return R::UA_E_FAIL;
    return ServiceCall(impl, function, std::forward<Body>(body), where);
}

} // namespace

CorvaneConnection::CorvaneConnection() = default;

CorvaneConnection::CorvaneConnection(const std::shared_ptr<CorvaneConnectionImpl>& impl)
    : MerrowService(std::shared_ptr<MerrowServiceImpl>(impl)) {}

CorvaneConnection::CorvaneConnection(const CorvaneConnectionWeakRef& weakRef)
    : CorvaneConnection(lockOrThrow(weakRef)) {}

CorvaneConnectionImpl* CorvaneConnection::GetConnectionImpl() const {
    // Only CorvaneConnectionImpl objects are ever put into this handle.
    return static_cast<CorvaneConnectionImpl*>(m_pImpl.get());
}

std::shared_ptr<CorvaneConnectionImpl> CorvaneConnection::GetConnectionImplPtr() const {
    return std::shared_ptr<CorvaneConnectionImpl>(m_pImpl, GetConnectionImpl());
}

MerrowReturnValue CorvaneConnection::Connect(const std::string& userName,
                                             const std::string& password) {
    return connectionCall(*this, "CorvaneConnection::Connect", [&](CorvaneConnectionImpl& impl) {
        return impl.Connect(userName, password);
    });
}

MerrowReturnValue CorvaneConnection::Logoff() {
    return connectionCall(*this, "CorvaneConnection::Logoff", [](CorvaneConnectionImpl& impl) {
        if (impl.GetConnectionState() != UACIMClient::STATE_CONNECTED)
            return R(R::UA_E_NOTCONNECTED);
        return impl.Logoff();
    });
}

MerrowReturnValue CorvaneConnection::Reconnect(const std::string& host) {
    return connectionCall(*this, "CorvaneConnection::Reconnect",
                          [&](CorvaneConnectionImpl& impl) { return impl.Reconnect(host); });
}

MerrowReturnValue CorvaneConnection::GetHostName(std::string& host) const {
    return connectionCall(*this, "CorvaneConnection::GetHostName",
                          [&](CorvaneConnectionImpl& impl) {
                              host = impl.GetHostName();
                              return R();
                          });
}

std::string CorvaneConnection::GetHost() const {
    std::string host;
    GetHostName(host);
    return host;
}

MerrowReturnValue CorvaneConnection::GetConnectionState(std::int32_t& state) const {
    return connectionCall(*this, "CorvaneConnection::GetConnectionState",
                          [&](CorvaneConnectionImpl& impl) {
                              state = impl.GetConnectionState();
                              return R();
                          });
}

MerrowReturnValue CorvaneConnection::SetTimeout(std::uint32_t milliseconds) {
    return connectionCall(*this, "CorvaneConnection::SetTimeout", [&](CorvaneConnectionImpl& impl) {
        return impl.setTimeout(milliseconds);
    });
}

MerrowReturnValue CorvaneConnection::GetTopComputerSystem(cim::CIMObjectPath& path) {
    return connectionCall(*this, "CorvaneConnection::GetTopComputerSystem",
                          [&](CorvaneConnectionImpl& impl) {
                              if (impl.GetConnectionState() != UACIMClient::STATE_CONNECTED)
                                  return R(R::UA_E_NOTCONNECTED);
                              return impl.GetTopComputerSystem(path);
                          });
}

MerrowReturnValue CorvaneConnection::GetCorvaneSystemService(Service_CorvaneSystem& service) {
    return connectionCall(*this, "CorvaneConnection::GetCorvaneSystemService",
                          [&](CorvaneConnectionImpl& impl) {
                              return impl.GetCorvaneSystemService(service);
                          });
}

} // namespace Merrow::UserAgent
