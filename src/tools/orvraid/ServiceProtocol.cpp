#include "ServiceProtocol.h"

#include <cstdlib>

namespace orvraid::protocol {
namespace {

void appendBigEndian(std::string& out, std::uint32_t value, int bytes)
{
    for (int shift = (bytes - 1) * 8; shift >= 0; shift -= 8)
        out += static_cast<char>((value >> shift) & 0xFF);
}

}  // namespace

std::string encodeFrame(MessageType type, std::string_view payload, std::uint16_t version)
{
    std::string frame(kMagic, sizeof kMagic);
    appendBigEndian(frame, version, 2);
    appendBigEndian(frame, static_cast<std::uint16_t>(type), 2);
    appendBigEndian(frame, static_cast<std::uint32_t>(payload.size()), 4);
    frame.append(payload);
    return frame;
}

std::filesystem::path defaultSocketPath()
{
    const char* configured = std::getenv("ORVDS_SOCKET");
    if (configured != nullptr && *configured != '\0')
        return configured;
    // A service of another registry is another service: a front end pointed at a registry
    // of its own must not attach to the system's service.
    const char* registry = std::getenv("ORVDS_REGISTRY");
    if (registry != nullptr && *registry != '\0')
        return std::string(registry) + ".sock";
    return "/run/orvvds/orvvds.sock";
}

}  // namespace orvraid::protocol
