#include "CommandError.h"

#include "HresultText.h"

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
    return CommandError(ExitCode::VdsCallFailed,
                        "Could not " + operation + ": " + describeHresult(hr) + ".");
}

void throwIfFailed(HRESULT hr, const std::string& operation)
{
    if (FAILED(hr))
        throw CommandError::vdsCall(operation, hr);
}

}  // namespace orvraid
