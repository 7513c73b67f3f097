#include "cim/xml/CIMXmlResponseStream.h"

#include <algorithm>
#include <utility>

#include "cim/value/CIMValueError.h"
#include "cim/xml/CIMXmlError.h"
#include "cim/xml/CIMXmlResponseParts.h"
#include "cim/xml/CIMXmlResponseReader.h"
#include "cim/xml/CIMXmlShapeCheck.h"

namespace cim {
namespace {

constexpr std::string_view kListStartTag = "<IRETURNVALUE";

void clearItems(CIMResponse& response) {
    response.instances.clear();
    response.objects.clear();
    response.paths.clear();
}

pugi::xml_node lastElementChild(pugi::xml_node node) {
    for (pugi::xml_node child = node.last_child(); child; child = child.previous_sibling()) {
        if (child.type() == pugi::node_element) {
            return child;
        }
    }
    return {};
}

// The element whose start tag ends an open start of a document: the last element of every
// level, down from the root.
pugi::xml_node innermostOpenElement(pugi::xml_node root) {
    pugi::xml_node node = root;
    while (const pugi::xml_node last = lastElementChild(node)) {
        node = last;
    }
    return node;
}

std::size_t depthOf(pugi::xml_node element) {
    std::size_t depth = 0;
    for (; element.type() == pugi::node_element; element = element.parent()) {
        ++depth;
    }
    return depth;
}

} // namespace

CIMXmlResponseStream::CIMXmlResponseStream(HeadHandler onHead, ItemHandler onItem, std::size_t maxHeldBytes)
    : m_onHead(std::move(onHead)), m_onItem(std::move(onItem)), m_maxHeldBytes(maxHeldBytes) {}

void CIMXmlResponseStream::feed(std::string_view bytes) {
    m_pending.append(bytes);
    while (step() == Progress::Moved) {
    }
    dropReadBytes();
    checkHeldSize();
}

CIMXmlResponseStream::Progress CIMXmlResponseStream::step() {
    switch (m_phase) {
    case Phase::Start: return findList();
    case Phase::Items: return nextItem();
    case Phase::Holding: break;
    }
    return Progress::Waiting;
}

std::string_view CIMXmlResponseStream::unread() const noexcept {
    return std::string_view(m_pending).substr(relative(m_cursor));
}

// The first "<IRETURNVALUE" of the text starts the list, as for CIMXmlItemScanner; its start
// tag must be plain ("<IRETURNVALUE>", white space before the '>' allowed).
CIMXmlResponseStream::Progress CIMXmlResponseStream::findList() {
    const std::string_view text = m_pending; // holds the document from its start
    const std::size_t listStart = text.find(kListStartTag, m_cursor);
    if (listStart == std::string_view::npos) {
        m_cursor = std::max(m_cursor, text.size() - std::min(text.size(), kListStartTag.size() - 1));
        return Progress::Waiting;
    }
    m_cursor = listStart;
    std::size_t at = listStart + kListStartTag.size();
    while (at < text.size() && isXmlSpace(text[at])) {
        ++at;
    }
    if (at == text.size()) {
        return Progress::Waiting;
    }
    if (text[at] != '>' || !openList(listStart, at + 1)) {
        hold();
    }
    return Progress::Moved;
}

// The start of the document, up to the list's start tag, must read as the start of a
// response whose IRETURNVALUE is this list; its items are then read one by one.
bool CIMXmlResponseStream::openList(std::size_t listStart, std::size_t contentBegin) {
    const std::string_view start = std::string_view(m_pending).substr(0, contentBegin);
    CIMXmlDocument document;
    if (!document.parseOpenStart(start, "CIM")) {
        return false;
    }
    const pugi::xml_node list = innermostOpenElement(document.root());
    if (list.name() != document.text() + listStart + 1) {
        return false;
    }
    try {
        pugi::xml_node separateList;
        CIMResponse head = detail::decodeResponseDocument(document, &separateList);
        if (separateList != list) {
            return false;
        }
        m_head = std::move(head);
    } catch (const CIMXmlError&) {
        return false;
    } catch (const CIMValueError&) {
        return false;
    }
    m_listDepth = depthOf(list);
    m_kept.assign(start);
    m_keptEnd = m_cut = m_cursor = contentBegin;
    m_phase = Phase::Items;
    return true;
}

// Items are taken while the list's content is white space and elements named like the first;
// anything else (the list's end tag included) is left to the reading of the rest at the end.
CIMXmlResponseStream::Progress CIMXmlResponseStream::nextItem() {
    if (m_pending.size() < m_retryAt) {
        return Progress::Waiting;
    }
    const std::string_view text = unread();
    const std::size_t space = std::find_if_not(text.begin(), text.end(), isXmlSpace) - text.begin();
    m_cursor += space;
    if (space == text.size()) {
        return Progress::Waiting;
    }
    if (!m_bounds) {
        return firstItemName(m_cursor);
    }
    const CIMXmlItemBounds::Result item = m_bounds->find(m_pending, relative(m_cursor));
    switch (item.status) {
    case CIMXmlItemBounds::Status::Found:
        m_retryAt = 0;
        if (!takeItem(m_cursor, absolute(item.end))) {
            hold();
        }
        return Progress::Moved;
    case CIMXmlItemBounds::Status::Incomplete:
        // Looked at again once the text after the item's start has doubled: linear in all.
        m_retryAt = m_pending.size() + (m_pending.size() - relative(m_cursor));
        return Progress::Waiting;
    case CIMXmlItemBounds::Status::NotPlain: break;
    }
    hold();
    return Progress::Moved;
}

// The first item names the list's kind; only lists of a kind read item by item go on so.
CIMXmlResponseStream::Progress CIMXmlResponseStream::firstItemName(std::size_t at) {
    const std::string_view text = std::string_view(m_pending).substr(relative(at));
    const std::size_t nameEnd = std::find_if(text.begin() + 1, text.end(), endsTagName) - text.begin();
    if (text.front() == '<' && nameEnd == text.size()) {
        return Progress::Waiting;
    }
    const std::string_view name = text.substr(1, nameEnd - 1);
    const std::optional<CIMReturnKind> kind =
        text.front() == '<' && !name.empty() ? detail::returnKindOf(name) : std::nullopt;
    if (!kind || *kind == CIMReturnKind::Value) {
        hold();
        return Progress::Moved;
    }
    m_bounds.emplace(name);
    m_head->kind = *kind;
    m_itemHolder.kind = *kind;
    return Progress::Moved;
}

// Decodes the item at [at, end) and hands it out; false when it does not read alone as it
// would in the document (the reading of the rest at the end then gives the answer).
bool CIMXmlResponseStream::takeItem(std::size_t at, std::size_t end) {
    const std::string_view text = std::string_view(m_pending).substr(relative(at), end - at);
    try {
        if (m_listDepth + CIMXmlShapeCheck::measure(text).depth > CIMXmlShapeCheck::kMaxDepth ||
            !m_item.parseElement(text)) {
            return false;
        }
        detail::decodeReturnItem(m_decoder, m_item.root(), m_itemHolder.kind, m_itemHolder);
    } catch (const CIMXmlError&) {
        clearItems(m_itemHolder);
        return false;
    } catch (const CIMValueError&) {
        clearItems(m_itemHolder);
        return false;
    }
    if (m_itemsHandedOut == 0) {
        m_kept.append(m_pending, relative(m_keptEnd), end - m_keptEnd);
        m_keptEnd = end;
    }
    m_cut = m_cursor = end;
    handOut(m_itemHolder);
    return true;
}

void CIMXmlResponseStream::handOut(CIMResponse& item) {
    if (!m_headHandedOut) {
        m_headHandedOut = true;
        m_onHead(*m_head);
    }
    ++m_itemsHandedOut;
    m_onItem(item);
    clearItems(item);
}

void CIMXmlResponseStream::hold() {
    m_phase = Phase::Holding;
    m_retryAt = 0;
}

// What lies before m_cut has been read (handed out, or kept in m_kept).
void CIMXmlResponseStream::dropReadBytes() {
    const std::size_t read = relative(m_cut);
    if (read == 0) {
        return;
    }
    m_pending.erase(0, read);
    m_pendingStart = m_cut;
    m_retryAt -= std::min(m_retryAt, read);
}

void CIMXmlResponseStream::checkHeldSize() const {
    if (heldBytes() > m_maxHeldBytes) {
        throw CIMXmlError("more than " + std::to_string(m_maxHeldBytes) +
                          " bytes of the reply held at once (an item that large, or a layout not read item by item)");
    }
}

// The document without the items handed out but the first, read as a whole: it gives the
// error the whole document would give, or the items not handed out yet.
CIMResponse CIMXmlResponseStream::finish() {
    std::string rest = std::move(m_kept);
    rest.append(m_pending, relative(m_cut));
    std::string().swap(m_pending);
    const CIMXmlTextGap gap{m_keptEnd, m_cut - m_keptEnd};
    CIMXmlResponseReader reader(std::move(rest), CIMXmlResponseReader::Mode::ItemByItem, gap);
    CIMResponse head = reader.readHead();
    if (!m_headHandedOut) {
        m_head = head;
    }
    CIMResponse item;
    item.kind = head.kind;
    bool firstHandedOut = m_itemsHandedOut > 0;
    while (reader.readItem(item)) {
        if (std::exchange(firstHandedOut, false)) {
            clearItems(item);
            continue;
        }
        handOut(item);
    }
    if (!m_headHandedOut) {
        m_headHandedOut = true;
        m_onHead(head);
    }
    return head;
}

} // namespace cim
