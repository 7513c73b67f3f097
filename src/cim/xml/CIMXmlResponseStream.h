// CIMXmlResponseStream: reads a CIM-XML response while its text arrives, handing out each
// item of IRETURNVALUE as soon as it is decoded, with bounded memory.
#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "cim/xml/CIMResponse.h"
#include "cim/xml/CIMXmlDecoder.h"
#include "cim/xml/CIMXmlDocument.h"
#include "cim/xml/CIMXmlItemBounds.h"

namespace cim {

/// Fed the text of one response document piece by piece (as HTTP delivers its body), it
/// finds each complete item of a plain IRETURNVALUE list (see CIMXmlItemScanner), decodes it
/// and hands it on, and drops the bytes it has read: it holds the start of the document up
/// to the list and its first item, the item being read and the last piece fed, whatever the
/// number of items.
///
/// The result is that of decodeResponse for the same text: the same items in the same order
/// and the same CIMXmlError (or CIMValueError) for malformed text. The start of the document
/// is checked before the first item is handed out; a fault found later (in an item, after
/// the list, in the end of the document) is thrown by feed() or finish() after the items
/// before it were handed out. To give the exact error, the reader, once it meets anything
/// it cannot take item by item (a layout that is not plain, an item that does not read, the
/// end of the list), keeps the rest of the text and reads, at the end, the document without
/// the items it handed out but the first (which decodeResponse's checks cannot tell from the
/// whole); where the layout is not plain at all (a single VALUE, an ERROR, comments between
/// items), that is the whole document.
///
/// Deliberate differences from decodeResponse: the text held that way is limited to
/// maxHeldBytes (default 16 MiB), beyond which CIMXmlError "... held more than N bytes" is
/// thrown; and the limit on the elements of one message (CIMXmlShapeCheck::kMaxElements)
/// applies to the text held, not to the items handed out, since they are never held
/// together. Nesting and size limits of each item and of the decoder stay as they are.
///
/// Threads: none of its own; the handlers run on the caller's thread, inside feed() and
/// finish().
class CIMXmlResponseStream {
public:
    static constexpr std::size_t kDefaultMaxHeldBytes = 16 * 1024 * 1024;

    /// The response as known before its items: kind set, no items, no out parameters when
    /// it is handed out before the list was read. Called once, before the first item.
    using HeadHandler = std::function<void(const CIMResponse& head)>;
    /// One item, in the vector of `item` its kind uses; the handler may move it away.
    using ItemHandler = std::function<void(CIMResponse& item)>;

    CIMXmlResponseStream(HeadHandler onHead, ItemHandler onItem, std::size_t maxHeldBytes = kDefaultMaxHeldBytes);

    /// The next bytes of the text. Throws as decodeResponse does for a fault found in them,
    /// and whatever the handlers throw. After a throw the reader is not to be used again.
    void feed(std::string_view bytes);

    /// The end of the text: hands out the items not handed out yet and returns the response
    /// without its items (but with its single value, if that is what IRETURNVALUE held).
    CIMResponse finish();

    /// Items handed out so far.
    std::size_t itemsHandedOut() const noexcept { return m_itemsHandedOut; }
    /// Bytes of text held now: the start of the document and the first item, what is left
    /// of the pieces fed (an item not complete yet), or all that is kept for the end.
    std::size_t heldBytes() const noexcept { return m_kept.size() + m_pending.size(); }
    /// True while the reader takes the items as they come; false once it keeps the rest.
    bool readingItemByItem() const noexcept { return m_phase == Phase::Start || m_phase == Phase::Items; }

private:
    enum class Phase {
        Start,   ///< before the list's content; the text is kept
        Items,   ///< in the list's content, item by item
        Holding, ///< everything from m_cut on is kept for the end
    };
    enum class Progress { Waiting, Moved };

    Progress step();
    Progress findList();
    bool openList(std::size_t listStart, std::size_t contentBegin);
    Progress nextItem();
    Progress firstItemName(std::size_t at);
    bool takeItem(std::size_t at, std::size_t end);
    void handOut(CIMResponse& item);
    void hold();
    void dropReadBytes();
    void checkHeldSize() const;
    std::string_view unread() const noexcept;
    std::size_t absolute(std::size_t inPending) const noexcept { return m_pendingStart + inPending; }
    std::size_t relative(std::size_t offset) const noexcept { return offset - m_pendingStart; }

    HeadHandler m_onHead;
    ItemHandler m_onItem;
    std::size_t m_maxHeldBytes;
    Phase m_phase = Phase::Start;

    // Offsets count from the start of the document.
    std::string m_pending;        // the text from m_pendingStart on
    std::size_t m_pendingStart = 0;
    std::size_t m_cursor = 0;     // where reading goes on (in the document)
    std::size_t m_retryAt = 0;    // an incomplete item is looked at again once m_pending is this long
    std::string m_kept;           // the document up to m_keptEnd: its start and first item
    std::size_t m_keptEnd = 0;
    std::size_t m_cut = 0;        // where the document read at the end goes on after m_kept

    std::optional<CIMResponse> m_head;
    std::size_t m_listDepth = 0;  // elements open inside the list, itself included
    std::optional<CIMXmlItemBounds> m_bounds;
    CIMXmlDocument m_item;
    CIMXmlDecoder m_decoder;
    CIMResponse m_itemHolder;
    std::size_t m_itemsHandedOut = 0;
    bool m_headHandedOut = false;
};

} // namespace cim
