#pragma once

#include <memory>

namespace Merrow::UserAgent {

class MerrowService;
class MerrowServiceImpl;

// Refers to a service without keeping it alive: held by connections for the services
// registered on them, and wherever a service must not keep another one.
class MerrowServiceWeakRef {
public:
    MerrowServiceWeakRef() = default;
    explicit MerrowServiceWeakRef(const MerrowService& service);
    explicit MerrowServiceWeakRef(const std::shared_ptr<MerrowServiceImpl>& impl);

    // The implementation, or null when the service is gone or the reference was never set.
    std::shared_ptr<MerrowServiceImpl> Lock() const { return m_impl.lock(); }
    bool IsExpired() const { return m_impl.expired(); }
    // Never set (as opposed to set to a service that has since gone).
    bool IsNull() const;
    // Refers to that implementation object (which may already be gone).
    bool RefersTo(const MerrowServiceImpl* impl) const { return m_raw == impl; }
    // The service it was made from, for identity only: never dereferenced.
    const MerrowServiceImpl* GetRaw() const { return m_raw; }

private:
    std::weak_ptr<MerrowServiceImpl> m_impl;
    // Identity only, for removal of registrations while the service is being destroyed;
    // never dereferenced.
    const MerrowServiceImpl* m_raw = nullptr;
};

} // namespace Merrow::UserAgent
