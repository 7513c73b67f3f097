#include "vds/framework/VDSScopedLock.h"

#include "trace/Trace.h"

#include <algorithm>
#include <exception>
#include <memory>
#include <sstream>
#include <utility>
#include <vector>

using Merrow::Trace::TC_VDS_LOCK;
using Merrow::Trace::TV_DETAIL;
using Merrow::Trace::TV_ERROR;
using Merrow::Trace::TV_INFO;

namespace {

using LockVector = std::vector<VDSScopedLock*>;

// The locks this thread holds, outermost first. Made on the thread's first lock and freed
// when the thread ends.
thread_local std::unique_ptr<LockVector> gLockVector;

LockVector& threadLockVector()
{
    if (!gLockVector) {
        MWTRACE(TV_DETAIL, TC_VDS_LOCK) << "Creating thread local gLockVector." << MWENDREC;
        gLockVector = std::make_unique<LockVector>();
        MWTRACE(TV_DETAIL, TC_VDS_LOCK) << "gLockVector has been created." << MWENDREC;
        MWTRACE(TV_DETAIL, TC_VDS_LOCK) << "Lock queue reset." << MWENDREC;
    }
    return *gLockVector;
}

const char* const kForeignException = " VDS Provider run-time exception caught!";

} // namespace

std::size_t VDSScopedLock::HeldByThisThread() { return gLockVector ? gLockVector->size() : 0; }

void VDSScopedLock::description(std::string& text) const
{
    std::ostringstream out;
    out << m_Name << " level " << m_Level << (IsLocked() ? " held" : " not held");
    text = out.str();
}

void VDSScopedLock::setHeld(CComObjectRootEx* root)
{
    m_pMyObject = root;
    m_CheckCopy = ~reinterpret_cast<std::uintptr_t>(root);
}

bool VDSScopedLock::checkCopyMatches() const
{
    return m_CheckCopy == ~reinterpret_cast<std::uintptr_t>(m_pMyObject);
}

void VDSScopedLock::LockMe(const VdsLockKindInfo& kind, const Target& target)
{
    MWTRACE(TV_DETAIL, TC_VDS_LOCK) << kind.lockingText << MWENDREC;
    bool referenced = false;
    try {
        if (target.root == nullptr) {
            MWTRACE(TV_ERROR, TC_VDS_LOCK) << "pObj is NULL!" << MWENDREC;
            return;
        }
        target.addRef(target.counted);
        referenced = true;
        setHeld(nullptr);

        LockVector& held = threadLockVector();
        m_Name = target.identity->className();
        if (kind.level < highestLevel(held) && !holds(held, target.root)) {
            traceRefusal(held);
            referenced = false;
            target.release(target.counted);
            return;
        }

        // Reserved before entering, so that the push after it cannot fail and leave the
        // section entered without a lock on the stack to leave it again.
        held.reserve(held.size() + 1);
        m_Level = kind.level;
        m_pCounted = target.counted;
        m_pRelease = target.release;
        MWTRACE(TV_DETAIL, TC_VDS_LOCK) << "Attempting to acquire lock on " << m_Name << "."
                                        << MWENDREC;
        target.root->Lock();
        setHeld(target.root);
        held.push_back(this);
        MWTRACE(TV_DETAIL, TC_VDS_LOCK) << "Acquired lock on " << m_Name << "." << MWENDREC;
        MWTRACE(TV_DETAIL, TC_VDS_LOCK) << m_Name << " added to lock list." << MWENDREC;
    } catch (const std::exception& e) {
        MWTRACE(TV_ERROR, TC_VDS_LOCK) << "Exception thrown in LockMe:" << e.what() << MWENDREC;
        if (referenced && !IsLocked())
            target.release(target.counted);
    } catch (...) {
        MWTRACE(TV_ERROR, TC_VDS_LOCK) << kForeignException << MWENDREC;
        if (referenced && !IsLocked())
            target.release(target.counted);
    }
}

int VDSScopedLock::highestLevel(const std::vector<VDSScopedLock*>& held)
{
    int maxLevel = 0;
    for (const VDSScopedLock* lock : held) {
        if (lock->m_Level < kVdsLowestLockLevel || lock->m_Level > kVdsHighestLockLevel)
            MWTRACE(TV_ERROR, TC_VDS_LOCK) << "Lock stack is corrupted." << MWENDREC;
        maxLevel = std::max(maxLevel, lock->m_Level);
    }
    return maxLevel;
}

bool VDSScopedLock::holds(const std::vector<VDSScopedLock*>& held, const CComObjectRootEx* root)
{
    return std::any_of(held.begin(), held.end(),
                       [root](const VDSScopedLock* lock) { return lock->m_pMyObject == root; });
}

void VDSScopedLock::traceRefusal(const std::vector<VDSScopedLock*>& held) const
{
    MWTRACE(TV_ERROR, TC_VDS_LOCK) << m_Name << "lock failed." << MWENDREC;
    std::string stack;
    for (const VDSScopedLock* lock : held)
        stack += lock->m_Name + "\r\n";
    MWTRACE(TV_ERROR, TC_VDS_LOCK) << "Lock stack:\r\n" << stack << MWENDREC;
}

VDSScopedLock::~VDSScopedLock()
{
    try {
        if (!gLockVector || gLockVector->empty()) {
            MWTRACE(TV_INFO, TC_VDS_LOCK) << "Attempted to delete a lock with nothing in the queue."
                                          << MWENDREC;
            return;
        }
        if (gLockVector->back() != this) {
            MWTRACE(TV_INFO, TC_VDS_LOCK) << "Attempted to remove wrong lock from queue."
                                          << MWENDREC;
            return;
        }
        unlockTop();
    } catch (const std::exception& e) {
        MWTRACE(TV_ERROR, TC_VDS_LOCK) << "Exception thrown:" << e.what() << "\r\n problem in unlock!"
                                       << MWENDREC;
    } catch (...) {
        MWTRACE(TV_ERROR, TC_VDS_LOCK) << kForeignException << MWENDREC;
    }
}

void VDSScopedLock::unlockTop()
{
    if (!checkCopyMatches())
        MWTRACE(TV_ERROR, TC_VDS_LOCK) << "Check on m_pMyObject failed." << MWENDREC;
    if (m_pMyObject == nullptr) {
        MWTRACE(TV_INFO, TC_VDS_LOCK) << "Could not unlock" << m_Name << "." << MWENDREC;
    } else {
        CComObjectRootEx* object = m_pMyObject;
        setHeld(nullptr);
        object->Unlock();
        // Last: this reference may be the one that keeps the object alive.
        m_pRelease(std::exchange(m_pCounted, nullptr));
        MWTRACE(TV_DETAIL, TC_VDS_LOCK) << "Unlocked " << m_Name << "." << MWENDREC;
    }
    gLockVector->pop_back();
}
