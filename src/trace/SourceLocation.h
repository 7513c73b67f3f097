// SourceLocation: where a trace record or failure report was made, taken at the call site.
#pragma once

#include <cstdint>

namespace Merrow::Trace {

/// The call site of a function that takes `SourceLocation where = SourceLocation::current()`.
/// It is built on the compiler built-ins both GCC and clang have, because clang 14 with the
/// GCC 12 standard library has no Merrow::Trace::SourceLocation; the member names are the standard's
/// (GCC 12 has no built-in for the column, so there is none).
class SourceLocation {
public:
    static constexpr SourceLocation current(const char* file = __builtin_FILE(),
                                            const char* function = __builtin_FUNCTION(),
                                            std::uint_least32_t line = __builtin_LINE()) noexcept {
        return SourceLocation(file, function, line);
    }

    constexpr SourceLocation() noexcept = default;

    constexpr const char* file_name() const noexcept { return m_file; }
    constexpr const char* function_name() const noexcept { return m_function; }
    constexpr std::uint_least32_t line() const noexcept { return m_line; }

private:
    constexpr SourceLocation(const char* file, const char* function, std::uint_least32_t line) noexcept
        : m_file(file), m_function(function), m_line(line) {}

    const char* m_file = "";
    const char* m_function = "";
    std::uint_least32_t m_line = 0;
};

} // namespace Merrow::Trace
