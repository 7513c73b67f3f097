#include "cim/xml/CIMXmlResponseReader.h"

#include <pugixml.hpp>

#include "cim/value/CIMValueError.h"
#include "cim/xml/CIMXmlDecoder.h"
#include "cim/xml/CIMXmlDocument.h"
#include "cim/xml/CIMXmlError.h"
#include "cim/xml/CIMXmlItemScanner.h"
#include "cim/xml/CIMXmlResponseParts.h"
#include "cim/xml/CIMXmlShapeCheck.h"

namespace cim {
namespace {

using detail::decodeResponseDocument;
using detail::decodeReturnItem;
using detail::returnKindOf;

// A copy of `response` without its items.
CIMResponse headOf(CIMResponse& response) {
    auto instances = std::move(response.instances);
    auto objects = std::move(response.objects);
    auto paths = std::move(response.paths);
    CIMResponse head = response;
    response.instances = std::move(instances);
    response.objects = std::move(objects);
    response.paths = std::move(paths);
    return head;
}

} // namespace

// The state of reading the items from the text: where they are, the tree each one is parsed
// into in turn, and the decoder (its scratch memory is reused too).
class CIMXmlResponseReader::ItemByItem {
public:
    explicit ItemByItem(std::string_view xml) : scanner(xml, "IRETURNVALUE") {}

    CIMXmlItemScanner scanner;
    CIMXmlDocument item;
    CIMXmlDecoder decoder;
    CIMReturnKind kind = CIMReturnKind::Nothing;
};

CIMXmlResponseReader::CIMXmlResponseReader(std::string xml, Mode mode, CIMXmlTextGap gap)
    : m_xml(std::move(xml)), m_mode(mode), m_gap(gap) {}

CIMXmlResponseReader::~CIMXmlResponseReader() = default;

CIMResponse CIMXmlResponseReader::readHead() {
    // Before the scanner: its search for nested items costs time with every level.
    CIMXmlShapeCheck::check(m_xml);
    if (m_mode == Mode::ItemByItem) {
        if (std::optional<CIMResponse> head = startItemByItem()) {
            return std::move(*head);
        }
    }
    readWholeDocument();
    return headOf(*m_whole);
}

// The document without the items of IRETURNVALUE is read as a tree. It stands for the
// whole when the list it reads as IRETURNVALUE is the one the scanner found (its start tag
// is at the same place) and the items are a list kind; one VALUE (or a few) is left to the
// tree of the whole document.
std::optional<CIMResponse> CIMXmlResponseReader::startItemByItem() {
    auto items = std::make_unique<ItemByItem>(m_xml);
    const CIMXmlItemScanner& scanner = items->scanner;
    if (!scanner.plain() || scanner.itemName().empty()) {
        return std::nullopt;
    }
    const std::optional<CIMReturnKind> kind = returnKindOf(scanner.itemName());
    if (!kind || *kind == CIMReturnKind::Value) {
        return std::nullopt;
    }
    std::string rest;
    rest.reserve(scanner.contentBegin() + m_xml.size() - scanner.contentEnd());
    rest.append(m_xml, 0, scanner.contentBegin()).append(m_xml, scanner.contentEnd());
    try {
        const CIMXmlDocument document(std::move(rest), "CIM");
        pugi::xml_node list;
        CIMResponse head = decodeResponseDocument(document, &list);
        if (!list || list.name() != document.text() + scanner.listStart() + 1) {
            return std::nullopt;
        }
        head.kind = *kind;
        items->kind = *kind;
        m_items = std::move(items);
        return head;
    } catch (const CIMXmlError&) {
        return std::nullopt;
    } catch (const CIMValueError&) {
        return std::nullopt;
    }
}

bool CIMXmlResponseReader::readItem(CIMResponse& response) {
    if (m_items) {
        switch (readNextItem(response)) {
        case Step::Item: ++m_itemsRead; return true;
        case Step::End: m_items.reset(); return false;
        case Step::Failed: break;
        }
        m_items.reset();
        readWholeDocument();
    }
    return takeWholeItem(response);
}

CIMXmlResponseReader::Step CIMXmlResponseReader::readNextItem(CIMResponse& response) {
    const std::optional<std::string_view> text = m_items->scanner.next();
    if (!text) {
        return m_items->scanner.plain() ? Step::End : Step::Failed;
    }
    if (!m_items->item.parseElement(*text)) {
        return Step::Failed;
    }
    try {
        decodeReturnItem(m_items->decoder, m_items->item.root(), m_items->kind, response);
        return Step::Item;
    } catch (const CIMXmlError&) {
        return Step::Failed;
    } catch (const CIMValueError&) {
        return Step::Failed;
    }
}

// Parses the buffer in place: nothing reads the text afterwards.
void CIMXmlResponseReader::readWholeDocument() {
    const CIMXmlDocument document(std::move(m_xml), "CIM", m_gap);
    m_whole = decodeResponseDocument(document, nullptr);
}

bool CIMXmlResponseReader::takeWholeItem(CIMResponse& response) {
    if (!m_whole) {
        return false;
    }
    auto take = [&](auto& from, auto& to) {
        if (m_itemsRead >= from.size()) {
            return false;
        }
        to.push_back(std::move(from[m_itemsRead++]));
        return true;
    };
    switch (m_whole->kind) {
    case CIMReturnKind::Instances:
    case CIMReturnKind::NamedInstances:
    case CIMReturnKind::InstancesWithPath: return take(m_whole->instances, response.instances);
    case CIMReturnKind::Objects:
    case CIMReturnKind::ObjectsWithPath:
    case CIMReturnKind::ObjectsWithLocalPath:
    case CIMReturnKind::Classes: return take(m_whole->objects, response.objects);
    case CIMReturnKind::InstanceNames:
    case CIMReturnKind::InstancePaths:
    case CIMReturnKind::ObjectPaths:
    case CIMReturnKind::ClassNames: return take(m_whole->paths, response.paths);
    case CIMReturnKind::Value:
    case CIMReturnKind::Nothing: break;
    }
    return false;
}

CIMResponse CIMXmlResponseReader::readAll() {
    CIMResponse response = readHead();
    while (readItem(response)) {
    }
    return response;
}

} // namespace cim
