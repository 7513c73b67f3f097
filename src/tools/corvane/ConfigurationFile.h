#pragma once

#include <string>

namespace corvane {

// What restore checks before sending a file to the array: the array's saved configuration
// is opaque, but it is always non-empty text; an empty file, an unreadable one, or bytes
// that are not text (NUL or other control characters, invalid UTF-8) cannot be one and are
// refused without contacting the array.
class ConfigurationFile {
public:
    // Empty when `path` may hold a saved configuration, else a one-line reason.
    static std::string problem(const std::string& path);

private:
    static bool isText(const std::string& bytes);
};

} // namespace corvane
