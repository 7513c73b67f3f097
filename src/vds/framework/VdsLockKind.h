// The kinds of object that VDSScopedLock guards, their places in the lock order and the
// trace text written when one is locked.
//
// The order rule: a thread takes locks in non-decreasing level order, so provider (100) ->
// subsystem -> controller list -> controller -> drive list -> drive -> LUN list -> LUN ->
// LUN plex -> target list -> target -> portal group -> portal list -> portal -> notifier
// (1000). Which kind a C++ class is comes from VdsLockKindOf<Class>, specialised below for
// every lockable class; a class without one cannot be locked (compile error).
#pragma once

#include "platform/com/CComObject.h"

#include <array>
#include <cstddef>

enum class VdsLockKind {
    Provider,
    SubSystem,
    ControllerList,
    Controller,
    DriveList,
    Drive,
    LunList,
    Lun,
    LunPlex,
    TargetList,
    Target,
    PortalGroup,
    PortalList,
    Portal,
    Notifier,
};

struct VdsLockKindInfo {
    VdsLockKind kind;
    int level;
    const char* lockingText;
};

inline constexpr int kVdsLowestLockLevel = 100;
inline constexpr int kVdsHighestLockLevel = 1000;

inline constexpr std::array<VdsLockKindInfo, 15> kVdsLockKinds{{
    {VdsLockKind::Provider, 100, "Locking a COrvVdsProvider"},
    {VdsLockKind::SubSystem, 200, "Locking a COrvSubSystem"},
    {VdsLockKind::ControllerList, 275, "Locking a VdsControllerList"},
    {VdsLockKind::Controller, 300, "Locking a COrvController"},
    {VdsLockKind::DriveList, 375, "Locking a VdsDriveList"},
    {VdsLockKind::Drive, 400, "Locking a COrvDrive"},
    {VdsLockKind::LunList, 475, "Locking a VdsLunList"},
    {VdsLockKind::Lun, 500, "Locking a COrvLun"},
    {VdsLockKind::LunPlex, 550, "Locking a COrvLunPlex"},
    {VdsLockKind::TargetList, 575, "Locking a VdsTargetList"},
    {VdsLockKind::Target, 600, "Locking a COrvTarget"},
    {VdsLockKind::PortalGroup, 650, "Locking a COrvPortalGroup"},
    {VdsLockKind::PortalList, 675, "Locking a VdsPortalList"},
    {VdsLockKind::Portal, 700, "Locking a COrvPortal"},
    {VdsLockKind::Notifier, 1000, "Locking a COrvNotifier"},
}};

constexpr const VdsLockKindInfo& vdsLockKindInfo(VdsLockKind kind)
{
    return kVdsLockKinds[static_cast<std::size_t>(kind)];
}

// The table is indexed by the enumerator, so each row must sit at its own index.
static_assert([] {
    for (std::size_t i = 0; i < kVdsLockKinds.size(); ++i) {
        if (static_cast<std::size_t>(kVdsLockKinds[i].kind) != i)
            return false;
    }
    return true;
}());

// ---- which class is which kind ---------------------------------------------------------

class COrvVdsProvider;
class COrvSubSystem;
class COrvController;
class COrvDrive;
class COrvLun;
class COrvLunPlex;
class COrvTarget;
class COrvPortalGroup;
class COrvPortal;
class COrvNotifier;
template <class Controller> class VdsControllerListOf;
template <class Drive> class VdsDriveListOf;
template <class Lun> class VdsLunListOf;
template <class Target> class VdsTargetListOf;
template <class Portal> class VdsPortalListOf;

template <class T> struct VdsLockKindOf;

template <VdsLockKind Kind> struct VdsLockKindTag {
    static constexpr VdsLockKind value = Kind;
};

// A CComObject<X> is locked as the X it wraps.
template <class X> struct VdsLockKindOf<CComObject<X>> : VdsLockKindOf<X> {};

template <> struct VdsLockKindOf<COrvVdsProvider> : VdsLockKindTag<VdsLockKind::Provider> {};
template <> struct VdsLockKindOf<COrvSubSystem> : VdsLockKindTag<VdsLockKind::SubSystem> {};
template <> struct VdsLockKindOf<COrvController> : VdsLockKindTag<VdsLockKind::Controller> {};
template <> struct VdsLockKindOf<COrvDrive> : VdsLockKindTag<VdsLockKind::Drive> {};
template <> struct VdsLockKindOf<COrvLun> : VdsLockKindTag<VdsLockKind::Lun> {};
template <> struct VdsLockKindOf<COrvLunPlex> : VdsLockKindTag<VdsLockKind::LunPlex> {};
template <> struct VdsLockKindOf<COrvTarget> : VdsLockKindTag<VdsLockKind::Target> {};
template <> struct VdsLockKindOf<COrvPortalGroup> : VdsLockKindTag<VdsLockKind::PortalGroup> {};
template <> struct VdsLockKindOf<COrvPortal> : VdsLockKindTag<VdsLockKind::Portal> {};
template <> struct VdsLockKindOf<COrvNotifier> : VdsLockKindTag<VdsLockKind::Notifier> {};

template <class C>
struct VdsLockKindOf<VdsControllerListOf<C>> : VdsLockKindTag<VdsLockKind::ControllerList> {};
template <class D>
struct VdsLockKindOf<VdsDriveListOf<D>> : VdsLockKindTag<VdsLockKind::DriveList> {};
template <class L> struct VdsLockKindOf<VdsLunListOf<L>> : VdsLockKindTag<VdsLockKind::LunList> {};
template <class T>
struct VdsLockKindOf<VdsTargetListOf<T>> : VdsLockKindTag<VdsLockKind::TargetList> {};
template <class P>
struct VdsLockKindOf<VdsPortalListOf<P>> : VdsLockKindTag<VdsLockKind::PortalList> {};
