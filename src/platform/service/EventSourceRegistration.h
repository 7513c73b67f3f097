// The event-source keys of the trace facility's event-log sink under
// HKLM\SYSTEM\CurrentControlSet\Services\EventLog\Application\OrvVDS, written each time that
// sink is built, and removed when the program unregisters itself.
#pragma once

#include "platform/registry/RegistryTypes.h"

#include <filesystem>

namespace orv::platform {

class EventSourceRegistration {
public:
    static constexpr const char16_t* kKey =
        u"SYSTEM\\CurrentControlSet\\Services\\EventLog\\Application\\OrvVDS";

    // Writes "MaxSize", "CategoryCount", "File", "CategoryMessageFile", "EventMessageFile"
    // and "TypesSupported" in one transaction; the message files are `executable`, or the
    // running program.
    static LSTATUS registerSource();
    static LSTATUS registerSource(const std::filesystem::path& executable);
    // ERROR_FILE_NOT_FOUND when the source was not registered.
    static LSTATUS unregisterSource();

    // Hands registerSource to the trace facility, which runs it whenever its event-log
    // sink is built. Call before the trace sink is selected.
    static void installAsTraceRegistrar();
};

}  // namespace orv::platform
