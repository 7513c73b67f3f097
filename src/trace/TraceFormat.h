#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// The pieces of a record's prefix. Each appends to a caller-owned buffer so that the
// per-thread buffers are reused from record to record.
namespace Merrow::Trace::TraceFormat {

inline constexpr size_t LOCATION_WIDTH = 40;
inline constexpr size_t HEADER_WIDTH = 30;
inline constexpr int32_t MAX_INDENTED_DEPTH = 99;

// "yy-mm-dd hh:mm:ss.mmm &TID": local time, then the low 12 bits of the thread id in hex.
void appendTimestamp(std::string& out);
void appendTimestamp(std::string& out, int64_t unixMillis, uint64_t threadId);

// "<base name>:<line>", cut to its last 40 characters or left-padded with "-" to 40.
void appendLocation(std::string& out, std::string_view file, int32_t line);

// "V:<verbosity> C:<abbreviation>", padded with "-" or cut to 30 characters.
void appendHeader(std::string& out, uint32_t verbosity, std::string_view category);

// "TC.Info.Codepath.EntryExit.Entry" -> "ICE.Entry".
std::string categoryAbbreviation(std::string_view category);

// "| . | . ..." for depths 1 to 99, nothing otherwise.
void appendIndentation(std::string& out, int32_t depth);

// Base name used in the location: after the last "\", else after the last "/", else whole.
std::string_view locationBaseName(std::string_view file);
// File stored with a record: after the last "/", else after the last "\", else empty.
std::string_view recordFileName(std::string_view file);
// Function stored with a record and method name of a scope: the text after the last ":".
std::string_view afterLastColon(std::string_view function);

// The qualified name ("ns::Class::method") inside a compiler's pretty function signature;
// a text that is already a plain qualified name comes back unchanged.
std::string_view qualifiedFunctionName(std::string_view prettyFunction);

} // namespace Merrow::Trace::TraceFormat
