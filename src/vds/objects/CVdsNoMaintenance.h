// CVdsNoMaintenance: IVdsMaintenance of the array objects that have it (drives and
// controllers). The array offers VDS no lights, alarms or spin control, so every
// maintenance operation is answered VDS_E_NOT_SUPPORTED without touching the array.
#pragma once

#include "platform/vds/VdsErrors.h"
#include "platform/vds/VdsInterfaces.h"

class CVdsNoMaintenance : public IVdsMaintenance {
public:
    HRESULT StartMaintenance(VDS_MAINTENANCE_OPERATION) override { return VDS_E_NOT_SUPPORTED; }
    HRESULT StopMaintenance(VDS_MAINTENANCE_OPERATION) override { return VDS_E_NOT_SUPPORTED; }
    HRESULT PulseMaintenance(VDS_MAINTENANCE_OPERATION, ULONG) override { return VDS_E_NOT_SUPPORTED; }

protected:
    ~CVdsNoMaintenance() = default;
};
