#include "cim/http/CIMTransportExceptions.h"

namespace cim {

CIMTransportException::CIMTransportException(const std::string& message)
    : std::runtime_error(message)
{
}

CIMCannotConnectException::CIMCannotConnectException(const std::string& message)
    : CIMTransportException(message)
{
}

CIMNotConnectedException::CIMNotConnectedException(const std::string& message, bool noReplyReceived)
    : CIMTransportException(message), m_noReplyReceived(noReplyReceived)
{
}

CIMAlreadyConnectedException::CIMAlreadyConnectedException()
    : CIMTransportException("The client is already connected")
{
}

CIMMalformedHttpException::CIMMalformedHttpException(const std::string& message)
    : CIMTransportException(message)
{
}

CIMTimeoutException::CIMTimeoutException(const std::string& message)
    : CIMTransportException(message)
{
}

CIMHttpErrorException::CIMHttpErrorException(unsigned statusCode, const std::string& reason,
                                             const std::string& cimError, const std::string& detail)
    : CIMTransportException(formatMessage(statusCode, reason)),
      m_statusCode(statusCode),
      m_reason(reason),
      m_cimError(cimError),
      m_detail(detail)
{
}

std::string CIMHttpErrorException::formatMessage(unsigned statusCode, const std::string& reason)
{
    return "HTTP Error (" + std::to_string(statusCode) + " " + reason + ").";
}

} // namespace cim
