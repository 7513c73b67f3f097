// Who may use the service's socket: the kernel's word on the peer (SO_PEERCRED) checked
// against a rule. The service's rule lets in root and the user the service runs as; tests
// give a rule of their own, since they cannot change their uid.
#pragma once

#include <sys/types.h>

#include <functional>
#include <string>

namespace orvraid {

class PeerCredentialPolicy {
public:
    using Rule = std::function<bool(uid_t peer)>;

    // Root and the effective user of this process.
    static PeerCredentialPolicy rootAndServiceUser();

    PeerCredentialPolicy(Rule allowed, std::string whoMay)
        : m_allowed(std::move(allowed)), m_whoMay(std::move(whoMay))
    {
    }

    // Empty when the peer on `socketFd` may use the service; otherwise the message that
    // tells it why not. A peer whose credentials cannot be read is refused.
    std::string refusalFor(int socketFd) const;

private:
    Rule m_allowed;
    std::string m_whoMay;  // "root and orvvds"
};

// The user's name, or "uid N" when it has none.
std::string userName(uid_t uid);

}  // namespace orvraid
