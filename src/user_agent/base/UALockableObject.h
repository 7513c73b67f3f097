#pragma once

#include <cstdint>
#include <mutex>

namespace Merrow::UserAgent {

// The recursive lock with a time limit that every object of the client library that touches
// the array carries (connections, services, profiles, containers). A thread may take it again
// while holding it, so a request made from inside another request on the same object does not
// block. Usable as a base or as a member.
//
// Lock order (outermost first): service implementation, profile or grouping, CIM container;
// the connection's client lock is taken last of these. The library root's lock is never held
// while any of them is taken.
class UALockableObject {
public:
    // The limit of ordinary requests: long enough to mean "wait", short enough to be a
    // representable deadline.
    static constexpr std::uint32_t kRequestLockLimitMs = 1000000000;

    UALockableObject() = default;
    virtual ~UALockableObject() = default;
    UALockableObject(const UALockableObject&) = delete;
    UALockableObject& operator=(const UALockableObject&) = delete;

    // False when the limit passed without getting the lock.
    bool TryLock(std::uint32_t limitMs) const;
    // Throws UALockTimeout when the limit passes; `function` names the caller in the message.
    void Lock(std::uint32_t limitMs, const char* function) const;
    void Unlock() const;

    // Holds the lock for a scope; see Lock for the failure.
    class ScopedLock {
    public:
        explicit ScopedLock(const UALockableObject& object,
                            std::uint32_t limitMs = kRequestLockLimitMs,
                            const char* function = __builtin_FUNCTION());
        ~ScopedLock();
        ScopedLock(const ScopedLock&) = delete;
        ScopedLock& operator=(const ScopedLock&) = delete;

    private:
        const UALockableObject& m_object;
    };

private:
    mutable std::recursive_timed_mutex m_mutex;
};

} // namespace Merrow::UserAgent
