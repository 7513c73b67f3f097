#include "CommandError.h"

#include "HresultText.h"

#include "platform/com/ErrorDescription.h"

namespace orvraid {

CommandError::CommandError(ExitCode code, const std::string& message)
    : std::runtime_error(message), m_code(code)
{
}

CommandError CommandError::syntax(const std::string& message)
{
    return CommandError(ExitCode::SyntaxOrSelection, message);
}

CommandError CommandError::selection(const std::string& message)
{
    return CommandError(ExitCode::SyntaxOrSelection, message);
}

CommandError CommandError::vdsCall(const std::string& operation, HRESULT hr)
{
    // The provider's own explanation (what the array answered) says more than the code.
    const std::optional<std::string> explanation = orv::platform::TakeErrorDescription();
    std::string message = "Could not " + operation + ": " + describeHresult(hr) + ".";
    if (explanation && !explanation->empty())
        message += " " + *explanation;
    return CommandError(ExitCode::VdsCallFailed, message);
}

void throwIfFailed(HRESULT hr, const std::string& operation)
{
    if (FAILED(hr))
        throw CommandError::vdsCall(operation, hr);
}

}  // namespace orvraid
