// Whether a stream takes lists and details as JSON (for scripts) instead of text. The
// choice travels with the stream, like std::hex: the interpreter sets it for one command
// ("list luns --json"), and TextTable and DetailList read it, so no command needs code of
// its own for JSON.
//
// JSON shapes: a list is an array of objects, one per row, keyed by the column headers
// (a numbering column "LUN ###" becomes "LUN" with the row's number), with "Selected" for
// the row of the selected object; details are one object keyed by their labels.
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

namespace orvraid {

class JsonOutput {
public:
    static bool enabled(std::ios_base& stream);
    static void enable(std::ios_base& stream, bool on);

    // Takes "--json" out of a list or detail command's words; true when it was there.
    static bool takeSwitch(std::vector<std::string>& words);

    // Sets JSON on a stream for as long as it lives.
    class Scope {
    public:
        Scope(std::ios_base& stream, bool on) : m_stream(stream) { enable(stream, on); }
        ~Scope() { enable(m_stream, false); }
        Scope(const Scope&) = delete;
        Scope& operator=(const Scope&) = delete;

    private:
        std::ios_base& m_stream;
    };
};

}  // namespace orvraid
