// CIMXmlShapeCheck: refuses CIM-XML text nested or sized beyond what the protocol needs,
// before any tree of it is built.
#pragma once

#include <cstddef>
#include <string_view>

namespace cim {

/// One linear pass over the text that counts start tags and nesting, skipping comments,
/// CDATA sections, processing instructions, declarations and quoted attribute values as the
/// XML parser does. It does not check that the text is well formed (the parser does that);
/// it only makes sure that no later step spends time or memory on a document that could not
/// be a CIM-XML message.
///
/// The deepest CIM-XML message nests references as keys of references; with the decoder's
/// own limit on such nesting that stays well under kMaxDepth levels of elements. Embedded
/// objects are text of their element and are checked again when they are parsed.
class CIMXmlShapeCheck {
public:
    static constexpr std::size_t kMaxDepth = 128;
    /// Elements of one message; a reply of ten thousand volumes has about a million.
    static constexpr std::size_t kMaxElements = 8'000'000;

    /// Throws CIMXmlError naming the limit that `text` goes past.
    static void check(std::string_view text);

    /// Counts of the text last checked, for the callers' own limits and for tests.
    struct Shape {
        std::size_t elements = 0;
        std::size_t depth = 0; ///< the deepest nesting reached
    };
    /// As check(), also giving the counts.
    static Shape measure(std::string_view text);
};

} // namespace cim
