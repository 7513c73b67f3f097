// How the VDS objects of an array reach their provider: through the module's provider map,
// by the provider GUID each of them stores. The map holds no references; a provider leaves
// it in FinalRelease, so an object that finds none simply has nobody to talk to.
#pragma once

#include "platform/vds/VdsInterfaces.h"

class COrvVdsProvider;

// The provider with this GUID, or null.
COrvVdsProvider* FindVdsProvider(const GUID& providerGuid);

// One notification (object type, event, object id) through the provider; dropped when the
// provider is gone or not loaded.
void DeliverVdsNotification(const GUID& providerGuid, VDS_NOTIFICATION_TARGET_TYPE type,
                            ULONG event, const VDS_OBJECT_ID& id);

// The subsystem `subSystemId` of the provider, with a reference for the caller. E_INVALIDARG
// for a null ppSubSystem, E_FAIL when the provider is gone, the provider's look-up error
// otherwise.
HRESULT GetVdsSubSystem(const GUID& providerGuid, const VDS_OBJECT_ID& subSystemId,
                        IVdsSubSystem** ppSubSystem);
