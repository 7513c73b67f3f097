#include "PeerCredentialPolicy.h"

#include <pwd.h>
#include <sys/socket.h>
#include <unistd.h>

#include <vector>

namespace orvraid {

std::string userName(uid_t uid)
{
    std::vector<char> buffer(16384);
    passwd entry{};
    passwd* found = nullptr;
    if (::getpwuid_r(uid, &entry, buffer.data(), buffer.size(), &found) == 0 && found != nullptr)
        return found->pw_name;
    return "uid " + std::to_string(uid);
}

PeerCredentialPolicy PeerCredentialPolicy::rootAndServiceUser()
{
    const uid_t service = ::geteuid();
    const std::string whoMay = service == 0 ? "root" : "root and " + userName(service);
    return PeerCredentialPolicy([service](uid_t peer) { return peer == 0 || peer == service; }, whoMay);
}

std::string PeerCredentialPolicy::refusalFor(int socketFd) const
{
    ucred credentials{};
    socklen_t length = sizeof credentials;
    if (::getsockopt(socketFd, SOL_SOCKET, SO_PEERCRED, &credentials, &length) != 0)
        return "The service cannot tell who is connecting, so it refuses the connection.";
    if (m_allowed(credentials.uid))
        return "";
    return "Permission denied: user " + userName(credentials.uid) + " (uid " + std::to_string(credentials.uid) +
           ") may not use the orvvds service; only " + m_whoMay + " may.";
}

}  // namespace orvraid
