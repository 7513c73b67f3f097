// CIMXmlResponseReader: reads a CIM-XML response, a long IRETURNVALUE one item at a time.
#pragma once

#include <cstddef>
#include <memory>
#include <optional>
#include <string>

#include "cim/xml/CIMResponse.h"
#include "cim/xml/CIMXmlDocument.h"

namespace cim {

/// Reads one response document as decodeResponse does, with the same result and the same
/// CIMXmlError (or CIMValueError) for every input, but without a tree of the whole document
/// when it need not: the items of IRETURNVALUE (VALUE.NAMEDINSTANCE, INSTANCENAME,
/// VALUE.OBJECTWITHPATH, ...) are found in the text and parsed one after the other into the
/// same small tree, and the rest of the document is parsed without them. A document of
/// 10,000 instances is so read with a few kilobytes of tree instead of fifty megabytes, and
/// its items can be handed on as they are decoded.
///
/// The items are taken one by one only when the document is laid out plainly (see
/// CIMXmlItemScanner) and the rest of it reads as a response. Whatever goes wrong on that
/// path (an item or its surroundings that are not what the text suggested, malformed XML, a
/// value that does not read) sends the reader to the tree of the whole document, which gives
/// the answer: the error, or the items not yet taken.
///
/// Use: readHead() once, then readItem() until it says there are no more; or readAll().
class CIMXmlResponseReader {
public:
    enum class Mode {
        ItemByItem,    ///< take the items one by one from the text where that is possible
        WholeDocument, ///< always build the tree of the whole document (for comparisons)
    };

    /// `gap`: the bytes of the original text left out of `xml`, for the offsets errors give.
    explicit CIMXmlResponseReader(std::string xml, Mode mode = Mode::ItemByItem, CIMXmlTextGap gap = {});
    ~CIMXmlResponseReader();
    CIMXmlResponseReader(const CIMXmlResponseReader&) = delete;
    CIMXmlResponseReader& operator=(const CIMXmlResponseReader&) = delete;

    /// The response without the items of IRETURNVALUE: its kind is set and its instances,
    /// objects and paths are empty. Throws as decodeResponse does (when the document could not
    /// be read item by item, an error anywhere in it shows here).
    CIMResponse readHead();

    /// Appends the next item of IRETURNVALUE to the vector of `response` its kind uses
    /// (instances, objects or paths); false when there are no more. Throws the error
    /// decodeResponse would throw for the document, even when items were taken before.
    bool readItem(CIMResponse& response);

    /// readHead() and every item.
    CIMResponse readAll();

    /// True while the items come from the text one by one; false once the reader works (or
    /// has fallen back to working) from the tree of the whole document.
    bool readingItemByItem() const noexcept { return m_items != nullptr; }

private:
    class ItemByItem;
    enum class Step { Item, End, Failed };

    std::optional<CIMResponse> startItemByItem();
    Step readNextItem(CIMResponse& response);
    void readWholeDocument();
    bool takeWholeItem(CIMResponse& response);

    std::string m_xml; // left intact while reading item by item, for the fallback
    Mode m_mode;
    CIMXmlTextGap m_gap;
    std::unique_ptr<ItemByItem> m_items;
    std::optional<CIMResponse> m_whole;
    std::size_t m_itemsRead = 0;
};

} // namespace cim
