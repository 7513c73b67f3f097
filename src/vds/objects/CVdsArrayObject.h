// CVdsArrayObject<Derived, Service, N>: what every VDS object standing for one array object
// (controller, drive, LUN, target, portal group, portal) shares: the facade handle it stands
// for, the subsystem it belongs to, and its part in the subsystem's refresh.
//
// Derived is the COM class (CRTP), so the object's own scoped lock (its kind from
// VdsLockKind.h) guards the handle: the refresh sets it under the subsystem and list locks
// and reads it under the subsystem lock, while the ordered lists read keys through it.
#pragma once

#include "platform/com/CComPtr.h"
#include "platform/vds/VdsInterfaces.h"
#include "user_agent/indications/ServiceIndication.h"
#include "vds/framework/CVdsObjectBase.h"
#include "vds/framework/VDSScopedLock.h"
#include "vds/framework/VdsMethodGuard.h"
#include "vds/objects/VdsProviderAccess.h"
#include "vds/objects/VdsServiceIdentity.h"

#include <string>

template <class Derived, class Service, VDS_OBJECT_TYPE N>
class CVdsArrayObject : public CVdsObjectBase<N> {
public:
    using ServiceType = Service;

    // The handle this object stands for and the subsystem it belongs to; called by the
    // subsystem's refresh right after the list made the object, and again when a later
    // read of the array hands out a fresh handle for the same array object.
    void SetService(const Service& service, const VDS_OBJECT_ID& subSystemId)
    {
        VDSScopedLock lock(self());
        m_Service = service;
        m_SubSystemId = subSystemId;
    }

    Service GetService()
    {
        VDSScopedLock lock(self());
        return m_Service;
    }

    VDS_OBJECT_ID GetSubSystemId()
    {
        VDSScopedLock lock(self());
        return m_SubSystemId;
    }

    // The object stands for the same array object as `item`.
    bool StandsFor(const Merrow::UserAgent::MerrowService& item)
    {
        VDSScopedLock lock(self());
        return IsSameArrayObject(m_Service, item);
    }

    // A service indication offered by the subsystem: when its source is this object's
    // service, VDS learns that the object changed (`modifyEvent`). S_FALSE when it is not
    // this object's.
    HRESULT ReceiveServiceIndication(const Merrow::UserAgent::ServiceIndication& indication,
                                     VDS_NOTIFICATION_TARGET_TYPE type, ULONG modifyEvent)
    {
        {
            VDSScopedLock lock(self());
            if (!m_Service.IsValid() || !m_Service.IsSameService(indication.GetService()))
                return S_FALSE;
        }
        DeliverVdsNotification(this->GetProviderGuid(), type, modifyEvent, this->GetGuid());
        return S_OK;
    }

protected:
    // IVds...::GetSubSystem of the objects that have one.
    HRESULT LookUpSubSystem(IVdsSubSystem** ppSubSystem)
    {
        return GuardVdsMethod("GetSubSystem", E_UNEXPECTED, [&] {
            return GetVdsSubSystem(this->GetProviderGuid(), GetSubSystemId(), ppSubSystem);
        });
    }

    Derived* self() { return static_cast<Derived*>(this); }

    Service m_Service;
    VDS_OBJECT_ID m_SubSystemId{};
};
