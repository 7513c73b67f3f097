// An all-or-nothing group of registry changes.
//
//     RegistryTransaction transaction(key.registry());
//     ... sets and deletes through any keys of that store ...
//     LSTATUS status = transaction.commit();
//
// Nothing is visible to other processes before commit(); destroying the transaction
// without a commit undoes every change made since it began. The transaction begins
// write-locked (waiting up to Registry::kBusyTimeoutMs for another process's change to
// finish), so its commit cannot fail for a conflict.
//
// The transaction belongs to the thread that made it: it holds the store's lock until it
// ends, so other threads' registry calls on the same store wait. Transactions nest; an
// inner one only becomes durable with the outermost commit.
#pragma once

#include "platform/registry/Registry.h"
#include "platform/registry/RegistryTypes.h"

#include <memory>
#include <mutex>

namespace orv::platform {

class RegistryTransaction {
public:
    explicit RegistryTransaction(std::shared_ptr<Registry> registry);
    ~RegistryTransaction();
    RegistryTransaction(const RegistryTransaction&) = delete;
    RegistryTransaction& operator=(const RegistryTransaction&) = delete;

    // ERROR_SUCCESS once the transaction runs; otherwise why it could not begin
    // (ERROR_BUSY, ERROR_CANTOPEN for a missing store, ...), and changes made meanwhile
    // are not part of any transaction.
    LSTATUS status() const { return m_status; }
    bool isActive() const { return m_active; }

    // Makes the changes durable. Calling it again, or on a transaction that did not
    // begin, returns ERROR_INVALID_HANDLE.
    LSTATUS commit();
    // Undoes the changes now instead of at destruction.
    void rollback();

private:
    std::shared_ptr<Registry> m_registry;
    std::unique_lock<std::recursive_mutex> m_lock;
    LSTATUS m_status;
    bool m_active = false;
};

}  // namespace orv::platform
