#include "platform/com/ErrorDescription.h"

#include <utility>

namespace orv::platform {
namespace {

thread_local std::optional<std::string> t_description;

} // namespace

void SetErrorDescription(std::string description) { t_description = std::move(description); }

void ClearErrorDescription() { t_description.reset(); }

std::optional<std::string> TakeErrorDescription() { return std::exchange(t_description, std::nullopt); }

} // namespace orv::platform
