// Cuts the bytes of a connection into frames (ServiceProtocol.h). Bytes are fed as they
// arrive, in pieces of any size; complete frames are taken out one at a time.
//
// The first fault ends the reader for good: bytes that are no frame header, a peer of
// another protocol version, a payload above the bound or a message type this version does
// not know. The reader never holds more than one header and one bounded payload.
#pragma once

#include "ServiceProtocol.h"

#include <optional>
#include <string>

namespace orvraid {

class FrameReader {
public:
    enum class Fault { None, NotAFrame, OtherVersion, TooLarge, UnknownType };

    explicit FrameReader(std::uint32_t maxPayload) : m_maxPayload(maxPayload) {}

    void feed(const char* data, std::size_t size);
    // The next complete frame, or nullopt when more bytes are needed or a fault ended the
    // reader.
    std::optional<protocol::Frame> next();

    Fault fault() const { return m_fault; }
    // The version the peer's header named (set with OtherVersion).
    std::uint16_t peerVersion() const { return m_peerVersion; }
    // A sentence for the person, naming the fault.
    std::string faultText() const;
    // True while a frame has begun but not ended.
    bool insideFrame() const { return !m_buffer.empty(); }

private:
    bool checkHeader();

    std::uint32_t m_maxPayload;
    std::string m_buffer;
    Fault m_fault = Fault::None;
    std::uint16_t m_peerVersion = 0;
    std::uint32_t m_announcedLength = 0;
};

}  // namespace orvraid
