#include "cim/xml/CIMXmlShapeCheck.h"

#include <string>

#include "cim/xml/CIMXmlError.h"

namespace cim {
namespace {

constexpr std::size_t npos = std::string_view::npos;

// One past the end of `terminator` searched from `from`, or the end of the text when it is
// missing (the parser reports that).
std::size_t skipPast(std::string_view text, std::size_t from, std::string_view terminator) {
    const std::size_t at = text.find(terminator, from);
    return at == npos ? text.size() : at + terminator.size();
}

// One past the '>' of the tag starting at `at`; quoted attribute values may hold '>'.
// `selfClosing` tells whether the tag ended with "/>".
std::size_t tagEnd(std::string_view text, std::size_t at, bool& selfClosing) {
    for (; at < text.size(); ++at) {
        const char c = text[at];
        if (c == '"' || c == '\'') {
            at = text.find(c, at + 1);
            if (at == npos) {
                return text.size();
            }
        } else if (c == '>') {
            selfClosing = text[at - 1] == '/';
            return at + 1;
        }
    }
    return text.size();
}

class Counter {
public:
    explicit Counter(std::string_view text) : m_text(text) {}

    CIMXmlShapeCheck::Shape run() {
        std::size_t at = 0;
        while ((at = m_text.find('<', at)) != npos) {
            at = step(at);
        }
        return m_shape;
    }

private:
    bool startsAt(std::size_t at, std::string_view prefix) const {
        return m_text.compare(at, prefix.size(), prefix) == 0;
    }

    // Handles the markup at `at` (a '<') and gives where to go on.
    std::size_t step(std::size_t at) {
        if (startsAt(at, "<!--")) {
            return skipPast(m_text, at + 4, "-->");
        }
        if (startsAt(at, "<![CDATA[")) {
            return skipPast(m_text, at + 9, "]]>");
        }
        if (startsAt(at, "<?")) {
            return skipPast(m_text, at + 2, "?>");
        }
        if (startsAt(at, "<!")) {
            return skipPast(m_text, at + 2, ">");
        }
        if (startsAt(at, "</")) {
            m_depth -= m_depth > 0 ? 1 : 0;
            return skipPast(m_text, at + 2, ">");
        }
        bool selfClosing = false;
        const std::size_t end = tagEnd(m_text, at + 1, selfClosing);
        open();
        m_depth -= selfClosing ? 1 : 0;
        return end;
    }

    void open() {
        if (++m_shape.elements > CIMXmlShapeCheck::kMaxElements) {
            throw CIMXmlError("more than " + std::to_string(CIMXmlShapeCheck::kMaxElements) +
                              " elements in one message");
        }
        if (++m_depth > CIMXmlShapeCheck::kMaxDepth) {
            throw CIMXmlError("elements nested more than " + std::to_string(CIMXmlShapeCheck::kMaxDepth) +
                              " levels deep");
        }
        m_shape.depth = std::max(m_shape.depth, m_depth);
    }

    std::string_view m_text;
    std::size_t m_depth = 0;
    CIMXmlShapeCheck::Shape m_shape;
};

} // namespace

void CIMXmlShapeCheck::check(std::string_view text) { measure(text); }

CIMXmlShapeCheck::Shape CIMXmlShapeCheck::measure(std::string_view text) { return Counter(text).run(); }

} // namespace cim
