#include "SocketFrontEnd.h"

#include "ServiceProtocol.h"

#include <sys/stat.h>

#include <system_error>

namespace {

void makeFolderFor(const std::filesystem::path& socketPath)
{
    const std::filesystem::path folder = socketPath.parent_path();
    if (folder.empty() || std::filesystem::exists(folder))
        return;
    std::filesystem::create_directories(folder);
    std::filesystem::permissions(folder, std::filesystem::perms::owner_all);
}

}  // namespace

SocketFrontEnd::SocketFrontEnd(orv::platform::VdsProviderHost& host) : m_host(host)
{
    orvraid::ServiceSocketSettings settings;
    settings.socketPath = orvraid::protocol::defaultSocketPath();
    makeFolderFor(settings.socketPath);
    m_server = std::make_unique<orvraid::ServiceSocketServer>(host.provider(), std::move(settings));
    orvraid::ServiceSocketServer* server = m_server.get();
    m_host.notifications().setForwarder(
        [server](const VDS_NOTIFICATION* records, std::size_t count) { server->notify(records, count); });
}

SocketFrontEnd::~SocketFrontEnd()
{
    m_host.notifications().setForwarder({});
}

HostedFrontEndFactory SocketFrontEnd::factory()
{
    return [](orv::platform::VdsProviderHost& host) { return std::make_unique<SocketFrontEnd>(host); };
}
