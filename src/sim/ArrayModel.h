#pragma once

// The simulated array's model: its state (the truth), the CIM instances derived from it in
// two namespaces, and the one lock that guards both.
//
// Every change runs as a transaction: the work changes the state and names the groups it
// touched; the commit re-projects those groups, lets the change listener see what was
// created, modified and deleted (indications), and writes the state file. Reads run under
// the shared side of the same lock and may keep the instances they got (they are
// immutable and shared) after the lock is released.
//
// Lock: m_mutex (shared_mutex) guards m_state, m_storage and m_internal. The change
// listener runs under it (exclusive) and must only queue work. The state file is written
// after the lock is released; StateFile orders concurrent writers by version. Nothing
// else may be locked while m_mutex is taken except the listener's own queue lock and the
// trace facility.

#include "sim/ArrayState.h"
#include "sim/InstanceStore.h"
#include "sim/ModelNames.h"
#include "sim/ModelProjection.h"

#include <memory>
#include <mutex>
#include <set>
#include <shared_mutex>
#include <string>
#include <type_traits>

namespace Merrow::Sim {

class StateFile;

// What readers and the change listener see.
struct ModelView {
    const ArrayState& state;
    const ModelNames& names;
    const InstanceStore& storage;
    const InstanceStore& internal;
};

class ChangeListener {
public:
    virtual ~ChangeListener() = default;
    // Called under the model lock after each commit that changed instances; must not block.
    virtual void onChanges(const ModelView& view, const std::vector<InstanceChange>& changes) = 0;
};

class ArrayModel;

// The handle a change works through. Touching a group that the change did not really
// alter costs a projection and nothing else, so the touch helpers err on the wide side.
class ModelTransaction {
public:
    ArrayState& state() { return m_state; }
    const ModelView& view() const { return m_view; }

    void touch(std::string group) { m_groups.insert(std::move(group)); }
    // The volume, its pool, the disks it uses and everything that refers to it.
    void touchVolume(const std::string& volumeId);
    // The disk, the system (slot count) and the pools.
    void touchDisk(const std::string& diskId);
    // The initiator, its grants and the sessions that name it.
    void touchInitiator(const std::string& initiatorId);
    void touchLag(const std::string& lagId);
    void touchRoutes();
    void touchAll() { m_all = true; }

private:
    friend class ArrayModel;
    ModelTransaction(ArrayState& state, const ModelView& view) : m_state(state), m_view(view) {}

    ArrayState& m_state;
    const ModelView& m_view;
    std::set<std::string> m_groups;
    bool m_all = false;
};

class ArrayModel {
public:
    ArrayModel(ArrayState initial, std::string managementAddress);
    ~ArrayModel();
    ArrayModel(const ArrayModel&) = delete;
    ArrayModel& operator=(const ArrayModel&) = delete;

    // Both are set before the model is shared between threads.
    void setChangeListener(ChangeListener* listener) { m_listener = listener; }
    void setStateFile(std::shared_ptr<StateFile> stateFile) { m_stateFile = std::move(stateFile); }

    const ModelNames& names() const { return m_names; }
    const std::string& managementAddress() const { return m_managementAddress; }

    // Runs `work(ModelTransaction&)` and commits. When the work throws, what it touched is
    // still committed (so the instances never disagree with the state) and the exception
    // goes on to the caller. When the state file cannot be written, the change stays made
    // and cim::CIMException (CIM_ERR_FAILED) is thrown. Threads: any.
    template <typename Work>
    auto update(Work&& work) -> std::invoke_result_t<Work, ModelTransaction&>;

    // Runs `work(const ModelView&)` under the shared lock. Threads: any.
    template <typename Work>
    auto read(Work&& work) const -> std::invoke_result_t<Work, const ModelView&>
    {
        std::shared_lock lock(m_mutex);
        return work(m_view);
    }

    // The state as its file holds it. Threads: any.
    std::string stateText() const;
    // Writes the state file now (at start-up, before any change); throws cim::CIMException
    // when it cannot be written. Threads: any.
    void saveNow();

private:
    struct PendingSave {
        std::uint64_t version = 0;
        std::string text;
    };

    void commitLocked(ModelTransaction& transaction, PendingSave& save);
    void save(const PendingSave& save);

    const std::string m_managementAddress;
    const ModelNames m_names;
    ChangeListener* m_listener = nullptr;
    std::shared_ptr<StateFile> m_stateFile;

    mutable std::shared_mutex m_mutex;
    ArrayState m_state;
    InstanceStore m_storage;
    InstanceStore m_internal;
    const ModelView m_view;
    std::uint64_t m_version = 0;
};

template <typename Work>
auto ArrayModel::update(Work&& work) -> std::invoke_result_t<Work, ModelTransaction&>
{
    using Result = std::invoke_result_t<Work, ModelTransaction&>;
    PendingSave pending;
    auto finish = [&] { save(pending); };
    std::unique_lock lock(m_mutex);
    ModelTransaction transaction(m_state, m_view);
    try {
        if constexpr (std::is_void_v<Result>) {
            work(transaction);
            commitLocked(transaction, pending);
            lock.unlock();
            finish();
        } else {
            Result result = work(transaction);
            commitLocked(transaction, pending);
            lock.unlock();
            finish();
            return result;
        }
    } catch (...) {
        if (lock.owns_lock()) {
            commitLocked(transaction, pending);
            lock.unlock();
            // The work's own failure is the one to report.
            try {
                finish();
            } catch (...) {
            }
        }
        throw;
    }
}

} // namespace Merrow::Sim
