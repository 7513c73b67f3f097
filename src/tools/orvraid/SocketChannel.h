// One end of a connection on the service's Unix socket: writes whole frames and reads them
// back through a FrameReader. It owns the descriptor.
//
// Threads: one thread sends and receives; shutdown() may come from any thread and makes a
// blocked receive or send return.
#pragma once

#include "FrameReader.h"

#include <string_view>

namespace orvraid {

class SocketChannel {
public:
    enum class ReadStatus { Frame, Closed, Fault, TimedOut, Woken };

    SocketChannel(int fd, std::uint32_t maxIncomingPayload);
    ~SocketChannel();
    SocketChannel(const SocketChannel&) = delete;
    SocketChannel& operator=(const SocketChannel&) = delete;

    int fd() const { return m_fd; }

    // A send that cannot go on for this long fails: a peer that stops reading must not
    // hold the sender forever.
    void setSendTimeout(int milliseconds);
    // The whole of `bytes`; false when the peer is gone or the send timed out.
    bool send(std::string_view bytes);

    // The next frame. `idleTimeoutMs` bounds the wait before a frame begins and
    // `frameTimeoutMs` each wait inside one (negative: no bound). A readable `wakeFd` ends
    // the wait with Woken (only between frames). Fault: see reader().
    ReadStatus receive(protocol::Frame& frame, int idleTimeoutMs, int frameTimeoutMs, int wakeFd = -1);
    const FrameReader& reader() const { return m_reader; }

    void shutdown();

private:
    enum class Wait { Readable, Woken, TimedOut, Failed };
    Wait waitReadable(int timeoutMs, int wakeFd) const;

    int m_fd;
    FrameReader m_reader;
};

}  // namespace orvraid
