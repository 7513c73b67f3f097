// The messages of the service protocol (ServiceProtocol.h) and their payloads. Each
// decode answers nullopt for a payload that does not hold exactly its message.
#pragma once

#include "ServiceProtocol.h"

#include <cstdint>
#include <optional>
#include <string>

namespace orvraid::protocol {

struct Hello {
    std::string client;    // the client program, for the service's trace
    std::string password;  // the client's ORVRAID_PASSWORD for "add array", or empty
};

struct Welcome {
    std::string server;
    std::uint32_t pid = 0;
};

struct Command {
    std::string line;
};

struct Result {
    std::uint32_t exitCode = 0;
    bool exitRequested = false;
    std::string out;
    std::string err;
};

struct Notification {
    std::uint64_t unixMilliseconds = 0;
    std::string text;  // "subsystem arrived {id}"
};

struct Refusal {
    std::string message;
};

std::string encode(const Hello& message);
std::string encode(const Welcome& message);
std::string encode(const Command& message);
std::string encode(const Result& message);
std::string encode(const Notification& message);
std::string encode(const Refusal& message);

template <class Message> std::optional<Message> decode(const std::string& payload);

// The frame type each message travels in.
template <class Message> constexpr MessageType typeOf();
template <> constexpr MessageType typeOf<Hello>() { return MessageType::Hello; }
template <> constexpr MessageType typeOf<Welcome>() { return MessageType::Welcome; }
template <> constexpr MessageType typeOf<Command>() { return MessageType::Command; }
template <> constexpr MessageType typeOf<Result>() { return MessageType::Result; }
template <> constexpr MessageType typeOf<Notification>() { return MessageType::Notification; }
template <> constexpr MessageType typeOf<Refusal>() { return MessageType::Refusal; }

// The whole frame of a message.
template <class Message> std::string frameOf(const Message& message)
{
    return encodeFrame(typeOf<Message>(), encode(message));
}

}  // namespace orvraid::protocol
