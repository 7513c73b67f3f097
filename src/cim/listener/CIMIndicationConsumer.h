#pragma once

#include <boost/asio/ip/tcp.hpp>

#include <string>

namespace cim {

class CIMInstance;

// What a consumer learns about the delivery of one indication besides the instance.
struct CIMIndicationContext {
    // The sender's address and port.
    boost::asio::ip::tcp::endpoint sender;
    // The MESSAGE ID of the export request.
    std::string messageId;
};

// Receives the indications that a CIMListener accepts.
//
// Threads: consumeIndication runs on the listener's threads, possibly on several at once
// for indications arriving on different connections. It should return promptly (queue the
// work elsewhere): the sender waits for the answer, and a slow listener makes real senders
// back off for a long time. It must not add or remove consumers of the same listener.
class CIMIndicationConsumer {
public:
    virtual ~CIMIndicationConsumer();

    // url is the request path after "/CIMListener": "/array1" for an indication posted to
    // "/CIMListener/array1", empty for one posted to "/CIMListener" itself. Throwing a
    // CIMException makes the listener answer with that CIM error; any other exception is
    // answered as CIM_ERR_FAILED.
    virtual void consumeIndication(const CIMIndicationContext& context, const std::string& url,
                                   const CIMInstance& indication) = 0;
};

} // namespace cim
