// The listener's whole path: HTTP request, export headers, CIM-XML decoding, delivery to a
// consumer and the reply, on a real loopback connection. An input whose first byte is even is
// sent as it is; otherwise the rest is the body of a well-formed export request, so the
// fuzzer spends most of its time past the HTTP head.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

#include "FuzzLoopbackPeer.h"
#include "cim/listener/CIMIndicationConsumer.h"
#include "cim/listener/CIMListener.h"
#include "cim/value/CIMInstance.h"

namespace {

constexpr const char* kAddress = "127.87.20.2";

// What reaches a consumer must be a usable indication.
class CheckingConsumer : public cim::CIMIndicationConsumer {
public:
    void consumeIndication(const cim::CIMIndicationContext&, const std::string&,
                           const cim::CIMInstance& indication) override {
        if (indication.getClassName().isNull()) {
            std::fprintf(stderr, "an indication without a class name was delivered\n");
            std::abort();
        }
        for (const cim::CIMProperty& property : indication.getProperties()) {
            if (property.getName().isNull()) {
                std::fprintf(stderr, "a property without a name was delivered\n");
                std::abort();
            }
        }
    }
};

cim::CIMListener& listener() {
    static CheckingConsumer consumer;
    static const std::unique_ptr<cim::CIMListener> running = [] {
        cim::CIMListenerOptions options;
        options.address = kAddress;
        options.maxBodyBytes = 256 * 1024;
        options.readTimeout = std::chrono::milliseconds(2000);
        auto started = std::make_unique<cim::CIMListener>(options);
        // The loopback peer connects from the system's loopback address.
        started->allowSender(boost::asio::ip::make_address("127.0.0.1"));
        started->addConsumer(&consumer);
        started->start();
        return started;
    }();
    return *running;
}

std::string exportRequest(std::string_view body) {
    return "POST /CIMListener/fuzz HTTP/1.1\r\nHost: 127.87.20.2\r\n"
           "Content-Type: application/xml; charset=\"utf-8\"\r\nCIMExport: MethodRequest\r\n"
           "CIMExportMethod: ExportIndication\r\nContent-Length: " +
           std::to_string(body.size()) + "\r\n\r\n" + std::string(body);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) {
        return 0;
    }
    const std::string_view rest(reinterpret_cast<const char*>(data) + 1, size - 1);
    fuzz::LoopbackPeer peer(kAddress, listener().getPortNumber());
    peer.exchange(data[0] % 2 == 0 ? std::string(rest) : exportRequest(rest));
    return 0;
}
