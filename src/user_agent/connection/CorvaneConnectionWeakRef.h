#pragma once

#include <memory>

namespace Merrow::UserAgent {

class CorvaneConnection;
class CorvaneConnectionImpl;

// Refers to a connection without keeping it alive: services and profiles hold one, the
// library root owns the connection.
class CorvaneConnectionWeakRef {
public:
    CorvaneConnectionWeakRef() = default;
    explicit CorvaneConnectionWeakRef(const CorvaneConnection& connection);
    explicit CorvaneConnectionWeakRef(const std::shared_ptr<CorvaneConnectionImpl>& impl);

    // The connection, or null when it is gone or the reference was never set.
    std::shared_ptr<CorvaneConnectionImpl> Lock() const { return m_impl.lock(); }
    // Never set (as opposed to set to a connection that has since gone).
    bool IsNull() const { return m_isNull; }

private:
    std::weak_ptr<CorvaneConnectionImpl> m_impl;
    bool m_isNull = true;
};

} // namespace Merrow::UserAgent
