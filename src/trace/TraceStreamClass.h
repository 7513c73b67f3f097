#pragma once

#include "trace/TraceStreamSinkInterface.h"

#include <cstdint>
#include <ostream>
#include <streambuf>
#include <string>
#include <string_view>

namespace Merrow::Trace {

// Ends the record being built. Kind 0 completes the record; kind 1 writes what was collected
// so far and continues the record under the same prefix; other kinds do nothing.
struct TraceTerminator {
    int kind;
};
inline constexpr TraceTerminator MWENDREC{0};
inline constexpr TraceTerminator MWENDLINE{1};

// One per thread (see getThreadTraceStream). Records are built here without any lock; only
// the sink serialises. Not to be shared between threads.
class TraceStreamClass {
public:
    explicit TraceStreamClass(TraceStreamSinkInterface* sink);
    TraceStreamClass(const TraceStreamClass&) = delete;
    TraceStreamClass& operator=(const TraceStreamClass&) = delete;

    // `function` may be a plain qualified name or a compiler's pretty signature.
    TraceStreamClass& beginRecord(const char* file, int32_t line, const char* function,
                                  uint32_t verbosity, const char* category);
    // The category is copied, so it may be a temporary text.
    TraceStreamClass& beginRecord(const char* file, int32_t line, const char* function,
                                  uint32_t verbosity, std::string_view category);
    void endRecord(TraceTerminator terminator);

    template <typename T> TraceStreamClass& operator<<(const T& value) {
        m_messageStream << value;
        return *this;
    }
    TraceStreamClass& operator<<(TraceTerminator terminator) {
        endRecord(terminator);
        return *this;
    }
    std::ostream& message() { return m_messageStream; }

    // True when a record of this verbosity could reach any output; a record that could not
    // need not be built at all.
    bool wants(uint32_t verbosity) const { return m_sink && m_sink->mayWrite(verbosity); }

    TraceStreamSinkInterface* sink() const { return m_sink; }
    int32_t depth() const { return m_depth; }
    void enterScope() { ++m_depth; }
    void leaveScope() { --m_depth; }
    const std::string& currentCategory() const { return m_currentCategory; }
    uint32_t currentVerbosity() const { return m_currentVerbosity; }

private:
    // A string-backed buffer whose capacity survives clearing, so steady-state records
    // allocate nothing.
    class ReusableBuffer : public std::streambuf {
    public:
        std::string& text() { return m_text; }
        void clear() { m_text.clear(); }

    protected:
        int_type overflow(int_type c) override;
        std::streamsize xsputn(const char* data, std::streamsize count) override;

    private:
        std::string m_text;
    };

    TraceStreamSinkInterface* m_sink;
    const char* m_defaultCategory;
    uint32_t m_defaultVerbosity;
    std::string m_currentCategory;
    uint32_t m_currentVerbosity;
    std::string_view m_file = "N/A";
    std::string_view m_function = "N/A";
    int32_t m_line = 0;
    ReusableBuffer m_messageBuffer;
    std::ostream m_messageStream;
    std::string m_prefix;
    int32_t m_depth = 0;
};

// The calling thread's stream, created on first use with the sink that was current when the
// first stream of the process was created.
TraceStreamClass& getThreadTraceStream();

} // namespace Merrow::Trace
