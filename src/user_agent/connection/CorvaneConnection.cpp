#include "user_agent/connection/CorvaneConnection.h"

#include "trace/Trace.h"
#include "user_agent/connection/CorvaneConnectionImpl.h"
#include "user_agent/connection/CorvaneConnectionWeakRef.h"
#include "user_agent/base/MWExceptions.h"

#include <exception>

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

// The boundary of every handle operation: no exception gets past it.
template <typename Operation>
MerrowReturnValue guarded(CorvaneConnectionImpl* impl, const char* function,
                          Operation&& operation) {
    if (!impl)
        return R::UA_E_FAIL;
    try {
        return operation(*impl);
    } catch (const MWExceptionAbstractClass& e) {
        MWTRACE(TV_WARNING, TC_ERROR_EXCEPTION_CAUGHT)
            << function << ": " << e.className() << " " << e.getMessage() << MWENDREC;
    } catch (const std::exception& e) {
        MWTRACE(TV_WARNING, TC_ERROR_EXCEPTION_CAUGHT) << function << ": " << e.what() << MWENDREC;
    } catch (...) {
        MWTRACE(TV_WARNING, TC_ERROR_EXCEPTION_CAUGHT)
            << function << ": Run-time exception caught!" << MWENDREC;
    }
    return R::UA_E_UNEXPECTED;
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
    MWSCOPE("");
    return guarded(GetConnectionImpl(), __PRETTY_FUNCTION__,
                   [&](CorvaneConnectionImpl& impl) { return impl.Connect(userName, password); });
}

MerrowReturnValue CorvaneConnection::Logoff() {
    MWSCOPE("");
    return guarded(GetConnectionImpl(), __PRETTY_FUNCTION__, [](CorvaneConnectionImpl& impl) {
        if (impl.GetConnectionState() != UACIMClient::STATE_CONNECTED)
            return R(R::UA_E_NOTCONNECTED);
        return impl.Logoff();
    });
}

MerrowReturnValue CorvaneConnection::Reconnect(const std::string& host) {
    MWSCOPE(host.c_str());
    return guarded(GetConnectionImpl(), __PRETTY_FUNCTION__,
                   [&](CorvaneConnectionImpl& impl) { return impl.Reconnect(host); });
}

MerrowReturnValue CorvaneConnection::GetHostName(std::string& host) const {
    return guarded(GetConnectionImpl(), __PRETTY_FUNCTION__, [&](CorvaneConnectionImpl& impl) {
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
    return guarded(GetConnectionImpl(), __PRETTY_FUNCTION__, [&](CorvaneConnectionImpl& impl) {
        state = impl.GetConnectionState();
        return R();
    });
}

MerrowReturnValue CorvaneConnection::SetTimeout(std::uint32_t milliseconds) {
    return guarded(GetConnectionImpl(), __PRETTY_FUNCTION__,
                   [&](CorvaneConnectionImpl& impl) { return impl.setTimeout(milliseconds); });
}

MerrowReturnValue CorvaneConnection::GetTopComputerSystem(cim::CIMObjectPath& path) {
    MWSCOPE("");
    return guarded(GetConnectionImpl(), __PRETTY_FUNCTION__, [&](CorvaneConnectionImpl& impl) {
        if (impl.GetConnectionState() != UACIMClient::STATE_CONNECTED)
            return R(R::UA_E_NOTCONNECTED);
        return impl.GetTopComputerSystem(path);
    });
}

} // namespace Merrow::UserAgent
