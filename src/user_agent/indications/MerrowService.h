#pragma once

#include "user_agent/base/MerrowReturnValue.h"
#include "user_agent/base/MerrowUserAgentEnums.h"
#include "user_agent/indications/ServiceInstanceID.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

namespace Merrow::UserAgent {

class MerrowServiceImpl;
class MerrowServiceWeakRef;
class ServiceIndication;

// Called with the cookie its registration answered and the service indication.
using ServiceIndicationCallback = std::function<void(std::uint32_t, const ServiceIndication&)>;

// The handle through which callers use one service of an array (the connection, the system,
// a disk, a volume, ...): a cheap value holding a counted reference to the implementation.
// Copies share the implementation; the last handle to go destroys it. A default-made handle
// has none and answers UA_E_SERVICE_INVALID; a service whose array objects are gone answers
// UA_E_SERVICE_REMOVED.
//
// Threads: a handle is a value owned by one thread at a time; the implementation it refers
// to may be used from any thread.
class MerrowService {
public:
    // An invalid handle of type "MerrowService".
    MerrowService();
    explicit MerrowService(std::shared_ptr<MerrowServiceImpl> impl);
    // Throws MWEBadPointer "Null pointer for weakref" for a reference that was never set and
    // "Invalid MerrowService for weakref (m_pImpl == NULL)" for one whose service is gone.
    explicit MerrowService(const MerrowServiceWeakRef& weakRef);
    virtual ~MerrowService();
    MerrowService(const MerrowService&) = default;
    MerrowService& operator=(const MerrowService&) = default;
    MerrowService(MerrowService&&) noexcept = default;
    MerrowService& operator=(MerrowService&&) noexcept = default;

    bool IsValid() const { return m_pImpl != nullptr; }
    // The implementation's type name ("CorvaneConnection", "Service_Disk", ...).
    const std::string& GetTypeName() const { return m_typeName; }
    // The implementation's identity and description, as they were when the handle was made.
    const std::string& GetInstanceIdentity() const { return m_instanceIdentity; }
    const std::string& GetDescription() const { return m_description; }
    // Serial 0 with "UNITIALIZED" for an invalid handle.
    ServiceInstanceID GetInstanceID() const;
    // True for an invalid handle too: there is nothing left to use.
    bool IsServiceRemoved() const;
    // Both handles refer to the same implementation object.
    bool IsSameService(const MerrowService& other) const { return m_pImpl == other.m_pImpl; }

    MerrowReturnValue GetStatus(UAEnums::OperationalStatus& status) const;
    // Makes the service fetch its array data again on the next read.
    MerrowReturnValue Refresh();

    // Registers a callback for the service indications of this service. `cookie` receives
    // the number that identifies the registration.
    MerrowReturnValue AddServiceIndicationCallback(ServiceIndicationCallback callback,
                                                   std::uint32_t& cookie);
    MerrowReturnValue RemoveServiceIndicationCallback(std::uint32_t cookie);

    const std::shared_ptr<MerrowServiceImpl>& GetImpl() const { return m_pImpl; }

protected:
    // UA_E_SERVICE_INVALID or UA_E_SERVICE_REMOVED when the handle cannot be used, else
    // UA_S_OK: the check every handle operation makes before calling the implementation.
    MerrowReturnValue CheckUsable() const;

    std::shared_ptr<MerrowServiceImpl> m_pImpl;

private:
    std::string m_typeName;
    std::string m_instanceIdentity;
    std::string m_description;
};

} // namespace Merrow::UserAgent
