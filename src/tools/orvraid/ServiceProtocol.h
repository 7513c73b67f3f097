// The protocol between orvraid and the orvvds service over the service's Unix socket.
//
// Every message is one frame: a 12-byte header, then the payload.
//
//   magic "ORVD" (4 bytes) | protocol version (u16) | message type (u16) | payload length (u32)
//
// Integers are big-endian. The magic, the version and the length keep their places in
// every future version, so a peer of another version is always recognised as such and
// named with its version instead of being misread. Each direction has its own bound on the
// payload; a frame above it ends the connection.
//
// A connection starts with Hello from the client, answered by Welcome (or Refusal, after
// which the service closes). Then the client sends Command and waits for its Result: one
// request in flight per connection. A client that sends Watch receives Notification frames
// until it closes the connection; a watching connection takes no commands.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

namespace orvraid::protocol {

constexpr char kMagic[4] = {'O', 'R', 'V', 'D'};
constexpr std::uint16_t kVersion = 1;
constexpr std::size_t kHeaderSize = 12;
// Command lines and hellos are short; the bound keeps a misbehaving client small.
constexpr std::uint32_t kMaxRequestPayload = 64 * 1024;
// Command output: a full listing of a large array stays far below it.
constexpr std::uint32_t kMaxResponsePayload = 16 * 1024 * 1024;

enum class MessageType : std::uint16_t {
    Hello = 1,
    Welcome = 2,
    Command = 3,
    Result = 4,
    Watch = 5,
    Notification = 6,
    Refusal = 7,
};

struct Frame {
    std::uint16_t version = kVersion;
    MessageType type = MessageType::Hello;
    std::string payload;
};

// The header and the payload, ready to write.
std::string encodeFrame(MessageType type, std::string_view payload,
                        std::uint16_t version = kVersion);

// $ORVDS_SOCKET; else "<registry>.sock" beside a registry named by $ORVDS_REGISTRY; else
// /run/orvvds/orvvds.sock, the system service's.
std::filesystem::path defaultSocketPath();

}  // namespace orvraid::protocol
