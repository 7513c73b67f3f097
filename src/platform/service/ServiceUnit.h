// The stand-in for installing the program as a service: a systemd unit file written to or
// removed from a unit directory.
//
// The service is installed like a demand-start service: the unit can be started by name
// but is not enabled. When the directory is systemd's own and systemd runs, systemd is
// told about the change (daemon-reload; a stop before removal); with any other directory
// (tests, packaging) only the file is touched.
#pragma once

#include "platform/com/WinTypes.h"

#include <filesystem>
#include <string>
#include <vector>

namespace orv::platform {

struct ServiceDefinition {
    std::string displayName;
    std::filesystem::path program;
    std::vector<std::string> arguments;
    // Units the service starts after (and pulls in), e.g. "network-online.target".
    std::vector<std::string> dependencies;
    // Folders systemd makes for the service, owner-only: under /run (its socket) and under
    // /var/lib (its registry). Empty: none.
    std::string runtimeDirectory;
    std::string stateDirectory;
};

class ServiceUnit {
public:
    // `serviceName` names the unit ("OrvVds" gives "OrvVds.service").
    explicit ServiceUnit(std::string serviceName,
                         std::filesystem::path unitDirectory = defaultUnitDirectory());

    // $ORVDS_UNIT_DIR, or /etc/systemd/system when it is unset or empty.
    static std::filesystem::path defaultUnitDirectory();

    std::filesystem::path unitPath() const;
    bool isInstalled() const;

    // S_FALSE, changing nothing, when the unit exists already. E_INVALIDARG for a service
    // name that is not a plain unit name or an argument with a line break; a file system
    // failure as a folded Windows error (ERROR_PATH_NOT_FOUND for a missing directory,
    // ERROR_ACCESS_DENIED, else E_FAIL).
    HRESULT install(const ServiceDefinition& definition);
    // S_FALSE when no unit was installed.
    HRESULT uninstall();

    // The unit file's text.
    static std::string unitText(const ServiceDefinition& definition);

private:
    void tellSystemd(std::vector<std::string> arguments) const;

    std::string m_name;
    std::filesystem::path m_directory;
    bool m_systemdManaged;
};

}  // namespace orv::platform
