#pragma once

#include "cim/value/CIMObjectPath.h"
#include "user_agent/base/MerrowReturnValue.h"
#include "user_agent/connection/CorvaneConnectionWeakRef.h"

#include <vector>

namespace Merrow::UserAgent {

class MerrowProfileInterface;
class Merrow_StorageConfigurationService;

// Before a volume is created on or extended over some disks, each of them that still sits in
// the available pool moves into the base pool, since the array builds volumes only from
// base-pool disks. Disks are handled in the order given; the ones moved before a failure stay
// moved.
class BasePoolDriveTransfer {
public:
    // `profile` owns the look-ups; `service` carries "TransferDriveByRef".
    BasePoolDriveTransfer(const MerrowProfileInterface& profile,
                          CorvaneConnectionWeakRef connection,
                          Merrow_StorageConfigurationService& service);

    // UA_E_UNEXPECTED, traced, for a disk without a storage extent (later disks are left
    // alone). A refused transfer is traced and thrown as MWEPegasusClientRequest.
    MerrowReturnValue Run(const std::vector<cim::CIMObjectPath>& disks,
                          const cim::CIMObjectPath& basePool,
                          const cim::CIMObjectPath& availablePool);

private:
    bool FindExtent(const cim::CIMObjectPath& disk, cim::CIMObjectPath& extent);
    std::vector<cim::CIMObjectPath> AvailablePoolExtents(const cim::CIMObjectPath& availablePool);
    void Transfer(const cim::CIMObjectPath& basePool, const cim::CIMObjectPath& disk);

    const MerrowProfileInterface& m_profile;
    CorvaneConnectionWeakRef m_connection;
    Merrow_StorageConfigurationService& m_service;
};

} // namespace Merrow::UserAgent
