#pragma once

#include "cim/value/CIMObjectPath.h"
#include "user_agent/indications/MerrowService.h"

#include <cstdint>
#include <memory>
#include <string>

namespace Merrow::UserAgent {

class CorvaneConnectionImpl;
class Service_CorvaneSystem;
class CorvaneConnectionWeakRef;

// The handle through which the layer above uses one array connection. The library root owns
// the connection and hands out handles (MerrowUserAgent::GetConnection); copies share it.
// Every operation answers a MerrowReturnValue and never throws: it runs inside the facade
// boundary (ServiceCall), so an exception becomes UA_E_UNEXPECTED and raises the
// connection's needs-attention alert. A handle without connection answers UA_E_FAIL.
//
// Connection states (GetConnectionState): 0 not connected, 1 connected, 2 authorisation
// failed, 3 connection lost, 4 protocol failure, 5 array not reachable, 6 firmware
// incompatible or unreadable.
class CorvaneConnection : public MerrowService {
public:
    CorvaneConnection();
    explicit CorvaneConnection(const std::shared_ptr<CorvaneConnectionImpl>& impl);
    // Throws MWEBadPointer "Null pointer for weakref" for a reference that was never set and
    // "Invalid CorvaneConnection for weakref (m_pImpl == NULL)" for one whose connection is
    // gone.
    explicit CorvaneConnection(const CorvaneConnectionWeakRef& weakRef);

    MerrowReturnValue Connect(const std::string& userName, const std::string& password);
    // UA_E_NOTCONNECTED unless connected.
    MerrowReturnValue Logoff();
    MerrowReturnValue Reconnect(const std::string& host);
    MerrowReturnValue GetHostName(std::string& host) const;
    std::string GetHost() const;
    MerrowReturnValue GetConnectionState(std::int32_t& state) const;
    // Milliseconds per request; stored before a log-in and applied at it.
    MerrowReturnValue SetTimeout(std::uint32_t milliseconds);
    // The path of the array's top-level computer system, from which the system service is
    // built; UA_E_NOTCONNECTED unless connected.
    MerrowReturnValue GetTopComputerSystem(cim::CIMObjectPath& path);

    // The facade of the array as a whole, on its top computer system; UA_E_NOTCONNECTED
    // unless connected, UA_E_UNEXPECTED when the array has no usable top system.
    MerrowReturnValue GetCorvaneSystemService(Service_CorvaneSystem& service);

    CorvaneConnectionImpl* GetConnectionImpl() const;
    std::shared_ptr<CorvaneConnectionImpl> GetConnectionImplPtr() const;
};

} // namespace Merrow::UserAgent
