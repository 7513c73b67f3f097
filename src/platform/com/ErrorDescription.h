// The text that explains a failed COM call, kept per thread: what SetErrorInfo and
// GetErrorInfo carry on Windows. An object that fails a call because the array refused it
// leaves the array's words here; the caller that receives the failed HRESULT takes them
// to tell the administrator why.
//
// Threads: any; each thread sees only its own text.
#pragma once

#include <optional>
#include <string>

namespace orv::platform {

// Replaces this thread's text (UTF-8).
void SetErrorDescription(std::string description);
// Forgets this thread's text; a method calls it on entry so that a later failure never
// shows the words of an earlier one.
void ClearErrorDescription();
// This thread's text, which is forgotten; nullopt when none was left.
std::optional<std::string> TakeErrorDescription();

} // namespace orv::platform
