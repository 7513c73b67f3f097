#pragma once

#include "cim/listener/CIMIndicationConsumer.h"
#include "user_agent/base/MerrowReturnValue.h"

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <set>
#include <string>

namespace cim {
class CIMListener;
}

namespace Merrow::UserAgent {

class UAIndicationConsumer;

// The local listener to which arrays post their indications, on a free port. Each array's
// handler points at "/CIMListener/<array host>", so the path tells which connection an
// indication belongs to. Indications are parsed here and handed to the consumer (the
// library root, which only queues them); malformed ones are refused to the sender and
// counted.
//
// Threads: Start, Stop and getPortNumber from any thread (m_mutex guards the CIM listener
// object); the consumer is called on the CIM listener's threads.
class UAIndicationListener {
public:
    explicit UAIndicationListener(UAIndicationConsumer& consumer);
    ~UAIndicationListener();
    UAIndicationListener(const UAIndicationListener&) = delete;
    UAIndicationListener& operator=(const UAIndicationListener&) = delete;

    // UA_E_FAIL when no port could be opened; starting a running listener does nothing.
    MerrowReturnValue Start();
    void Stop();
    // 0 while stopped.
    std::uint16_t getPortNumber() const;
    // Indications are heard only from allowed addresses (numeric, IPv4 or IPv6); each
    // AllowSender is undone by one ForbidSender. Kept across Stop and Start. A text that is
    // not an address is ignored.
    void AllowSender(const std::string& address);
    void ForbidSender(const std::string& address);
    // Indications refused because their sender was not allowed, by the running listener.
    std::uint64_t GetRefusedSenderCount() const;
    // Indications refused because they could not be read, since construction.
    std::uint64_t GetRejectedCount() const { return m_rejected.load(); }

private:
    // The CIM listener's consumer; forwards to the outer object.
    class IndicationReader : public cim::CIMIndicationConsumer {
    public:
        explicit IndicationReader(UAIndicationListener& listener) : m_listener(listener) {}
        void consumeIndication(const cim::CIMIndicationContext& context, const std::string& url,
                               const cim::CIMInstance& indication) override;

    private:
        UAIndicationListener& m_listener;
    };

    void received(const std::string& url, const cim::CIMInstance& indication);
    [[noreturn]] void reject(const std::string& url, const std::string& reason);

    UAIndicationConsumer& m_consumer;
    IndicationReader m_reader;
    std::atomic<std::uint64_t> m_rejected{0};

    mutable std::mutex m_mutex; // guards m_listener and m_senders
    std::unique_ptr<cim::CIMListener> m_listener;
    std::multiset<std::string> m_senders;
};

} // namespace Merrow::UserAgent
