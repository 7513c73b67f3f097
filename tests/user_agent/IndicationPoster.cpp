#include "IndicationPoster.h"

#include "cim/xml/CIMExportRequest.h"
#include "cim/xml/CIMExportResponse.h"
#include "cim/http/CIMHttpHeaders.h"
#include "cim/xml/CIMXmlCodec.h"

namespace Merrow::UserAgent::Testing {

namespace http = boost::beast::http;
using H = cim::CIMHttpHeaders;

IndicationPoster::IndicationPoster(std::uint16_t port, const std::string& from) {
    m_connection.setSourceAddress(from);
    m_connection.connect("127.0.0.1", port);
}

bool IndicationPoster::post(const std::string& target, const cim::CIMInstance& indication) {
    const auto request =
        cim::CIMExportRequest::indication(std::to_string(++m_messageId), indication);
    cim::HttpClientConnection::Request message{http::verb::post, "/CIMListener/" + target, 11};
    message.set(http::field::content_type, H::view(H::kContentType));
    message.set(H::view(H::kCIMExport), H::view(H::kMethodRequest));
    message.set(H::view(H::kCIMExportMethod), "ExportIndication");
    message.set(H::view(H::kCIMProtocolVersion), H::view(H::kProtocolVersion));
    message.body() = cim::encodeExportRequest(request);
    const auto reply = m_connection.exchange(message);
    if (reply.result_int() != 200)
        return false;
    return !cim::decodeExportResponse(reply.body()).error.has_value();
}

} // namespace Merrow::UserAgent::Testing
