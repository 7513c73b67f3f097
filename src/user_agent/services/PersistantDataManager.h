#pragma once

#include "trace/TraceAwareClass.h"
#include "user_agent/base/MerrowReturnValue.h"
#include "user_agent/base/UALockableObject.h"
#include "user_agent/connection/CorvaneConnectionWeakRef.h"

#include <cstdint>
#include <functional>
#include <string>

namespace Merrow::UserAgent {

class Merrow_StorageConfigurationService;

// Moves the array's whole configuration (its persistence data, an opaque text) between the
// array and a file on this host, and resets the array to factory defaults.
//
// The file holds exactly the characters of the data: no header, no length, no terminator.
// Restores and resets hand the array the data with a PersistenceSetting (4 replace, 5
// replace only with data from the same chassis, 2 factory defaults, 3 factory defaults
// keeping the management port's address, gateway and host name); the array answers 1 when
// it must restart to apply the data (the manager then runs the forced restart it was given
// and answers that result), 2 when nothing more is needed (UA_S_FALSE), anything else is
// its refusal (UA_E_REQUEST_FAILED carrying the number).
//
// Unlike a plain truncate-and-write, a save never leaves a half-written file behind: the
// data goes into a temporary file beside the target, which is renamed over the target only
// once every byte is written; on any failure the temporary file is removed and an existing
// target is left as it was. A new file gets mode 0644; a replaced one keeps its mode.
//
// Threads: any. Every operation holds the manager's lock for its whole run; lock order:
// the owning service, this manager, then what the array requests take.
class PersistantDataManager : public UALockableObject, public Trace::TraceAwareClass {
public:
    using ForcedRestart = std::function<MerrowReturnValue()>;

    PersistantDataManager(CorvaneConnectionWeakRef connection, ForcedRestart forcedRestart);

    MerrowReturnValue SaveCvnConfiguration(const std::string& filePath);
    MerrowReturnValue RestoreCvnConfiguration(const std::string& filePath, bool onlyIfSameChassis);
    MerrowReturnValue RestoreCvnConfigurationToFactoryDefaults(
        bool excludeResettingManagementPortAddress);

    std::string className() const override { return "PersistantDataManager"; }
    void description(std::string& text) const override;

private:
    MerrowReturnValue Save(const std::string& filePath);
    MerrowReturnValue Restore(const std::string& filePath, bool onlyIfSameChassis);
    MerrowReturnValue Write(const std::string& data, std::uint16_t persistenceSetting);
    // Runs `body`, turning what it throws into a return value.
    MerrowReturnValue Guarded(const std::function<MerrowReturnValue()>& body);

    CorvaneConnectionWeakRef m_connection;
    ForcedRestart m_forcedRestart;
};

} // namespace Merrow::UserAgent
