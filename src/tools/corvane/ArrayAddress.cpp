#include "ArrayAddress.h"

#include <stdexcept>

namespace corvane {
namespace {

// The library speaks to every array on the CIM-XML port.
constexpr const char* kArrayPort = "5988";

} // namespace

ArrayAddress ArrayAddress::parse(const std::string& url) {
    std::string rest = url;
    if (rest.rfind("http://", 0) == 0)
        rest = rest.substr(7);
    else if (rest.find("://") != std::string::npos)
        throw std::invalid_argument("array address '" + url + "': only http:// is spoken");
    if (!rest.empty() && rest.back() == '/')
        rest.pop_back();
    const std::size_t at = rest.rfind('@');
    if (at == std::string::npos)
        throw std::invalid_argument("array address '" + url + "' names no user (user@host)");
    std::string user = rest.substr(0, at);
    std::string host = rest.substr(at + 1);
    if (user.find(':') != std::string::npos)
        throw std::invalid_argument(
            "array address carries a password; give it in CORVANE_PASSWORD or --password-file instead");
    const std::size_t colon = host.rfind(':');
    if (colon != std::string::npos && host.find(']') == std::string::npos) {
        if (host.substr(colon + 1) != kArrayPort)
            throw std::invalid_argument("array address '" + host + "': arrays answer on port 5988 only");
        host = host.substr(0, colon);
    }
    if (user.empty() || host.empty() || host.find('/') != std::string::npos)
        throw std::invalid_argument("array address '" + url + "' is not user@host");
    return ArrayAddress(host, user);
}

} // namespace corvane
