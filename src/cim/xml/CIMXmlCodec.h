// Whole CIM-XML messages: requests, responses and export (indication) messages.
#pragma once

#include <string>
#include <string_view>

#include "cim/xml/CIMExportRequest.h"
#include "cim/xml/CIMExportResponse.h"
#include "cim/xml/CIMRequest.h"
#include "cim/xml/CIMResponse.h"

namespace cim {

// One codec serves every side: the client encodes requests and decodes responses, the
// simulated array decodes requests and encodes responses, the indication listener decodes
// export requests and encodes export responses, and the array's indication sender encodes
// export requests and decodes the answers.
//
// Documents are written as
//   <?xml version="1.0" encoding="utf-8" ?>
//   <CIM CIMVERSION="2.0" DTDVERSION="2.0"><MESSAGE ID=".." PROTOCOLVERSION="1.0">
//   <SIMPLEREQ>|<SIMPLERSP>|<SIMPLEEXPREQ>|<SIMPLEEXPRSP> ...
// and read back with any 2.x CIMVERSION/DTDVERSION and 1.x PROTOCOLVERSION. CORRELATOR
// elements are skipped; MULTIREQ and the other multiple forms are refused.
//
// Encoders throw CIMXmlError for text XML cannot carry (invalid UTF-8, control characters)
// and for values CIM-XML cannot express. Decoders throw CIMXmlError, naming the element
// concerned, for malformed XML and for anything DSP0201 does not allow; an ERROR element is
// not a decoding failure but fills the `error` member.

std::string encodeRequest(const CIMRequest& request);
CIMRequest decodeRequest(std::string_view xml);

std::string encodeResponse(const CIMResponse& response);
CIMResponse decodeResponse(std::string_view xml);
/// Reads the document in the given buffer itself (no copy; the buffer's content is lost),
/// for large answers whose body the caller no longer needs.
CIMResponse decodeResponse(std::string&& xml);
CIMResponse decodeResponse(const char* xml);

std::string encodeExportRequest(const CIMExportRequest& request);
CIMExportRequest decodeExportRequest(std::string_view xml);
/// As decodeResponse(std::string&&): reads the buffer in place.
CIMExportRequest decodeExportRequest(std::string&& xml);
CIMExportRequest decodeExportRequest(const char* xml);

std::string encodeExportResponse(const CIMExportResponse& response);
CIMExportResponse decodeExportResponse(std::string_view xml);

/// One INSTANCE element alone (no XML declaration), as embedded objects carry it.
std::string encodeInstanceElement(const CIMInstance& instance);
CIMInstance decodeInstanceElement(std::string_view xml);

} // namespace cim
