#include "cim/xml/CIMXmlResponseReader.h"

#include <array>
#include <cstring>

#include <pugixml.hpp>

#include "cim/value/CIMValueError.h"
#include "cim/xml/CIMXmlDecoder.h"
#include "cim/xml/CIMXmlDocument.h"
#include "cim/xml/CIMXmlError.h"
#include "cim/xml/CIMXmlItemScanner.h"
#include "cim/xml/CIMXmlMessageParts.h"
#include "cim/xml/CIMXmlShapeCheck.h"

namespace cim {
namespace {

using detail::elementChildren;
using detail::methodName;
using detail::onlyChild;
using detail::openMessage;

[[noreturn]] void fail(const std::string& message) { throw CIMXmlError(message); }

bool is(pugi::xml_node node, const char* name) { return detail::isElement(node, name); }

// Which element of IRETURNVALUE each result kind uses.
struct ReturnElement {
    CIMReturnKind kind;
    const char* element;
};

constexpr std::array<ReturnElement, 12> kReturnElements{{
    {CIMReturnKind::Instances, "INSTANCE"},
    {CIMReturnKind::NamedInstances, "VALUE.NAMEDINSTANCE"},
    {CIMReturnKind::InstancesWithPath, "VALUE.INSTANCEWITHPATH"},
    {CIMReturnKind::Objects, "VALUE.OBJECT"},
    {CIMReturnKind::ObjectsWithPath, "VALUE.OBJECTWITHPATH"},
    {CIMReturnKind::ObjectsWithLocalPath, "VALUE.OBJECTWITHLOCALPATH"},
    {CIMReturnKind::Classes, "CLASS"},
    {CIMReturnKind::InstanceNames, "INSTANCENAME"},
    {CIMReturnKind::InstancePaths, "INSTANCEPATH"},
    {CIMReturnKind::ObjectPaths, "OBJECTPATH"},
    {CIMReturnKind::ClassNames, "CLASSNAME"},
    {CIMReturnKind::Value, "VALUE"},
}};

std::optional<CIMReturnKind> returnKindOf(std::string_view name) {
    for (const ReturnElement& entry : kReturnElements) {
        if (name == entry.element) {
            return entry.kind;
        }
    }
    if (name == "VALUE.ARRAY" || name == "VALUE.REFERENCE") {
        return CIMReturnKind::Value;
    }
    return std::nullopt;
}

void decodeReturnItem(CIMXmlDecoder& decoder, pugi::xml_node node, CIMReturnKind kind, CIMResponse& response) {
    switch (kind) {
    case CIMReturnKind::Instances: response.instances.push_back(decoder.decodeInstance(node)); return;
    case CIMReturnKind::NamedInstances: response.instances.push_back(decoder.decodeNamedInstance(node)); return;
    case CIMReturnKind::InstancesWithPath: response.instances.push_back(decoder.decodeInstanceWithPath(node)); return;
    case CIMReturnKind::Objects: response.objects.push_back(decoder.decodeValueObject(node)); return;
    case CIMReturnKind::ObjectsWithPath: response.objects.push_back(decoder.decodeObjectWithPath(node)); return;
    case CIMReturnKind::ObjectsWithLocalPath: response.objects.push_back(decoder.decodeObjectWithLocalPath(node)); return;
    case CIMReturnKind::Classes: response.objects.emplace_back(decoder.decodeClass(node)); return;
    case CIMReturnKind::InstanceNames: response.paths.push_back(decoder.decodeInstanceName(node)); return;
    case CIMReturnKind::InstancePaths: response.paths.push_back(decoder.decodeInstancePath(node)); return;
    case CIMReturnKind::ObjectPaths: response.paths.push_back(decoder.decodeObjectPath(node)); return;
    case CIMReturnKind::ClassNames: {
        CIMObjectPath path;
        path.setClassName(decoder.decodeClassName(node));
        response.paths.push_back(std::move(path));
        return;
    }
    case CIMReturnKind::Value:
    case CIMReturnKind::Nothing: break;
    }
}

// IRETURNVALUE holds a list of one element kind, or one value. Several VALUEs read as a
// string array.
void decodeIReturnValue(CIMXmlDecoder& decoder, pugi::xml_node node, CIMResponse& response) {
    const auto children = elementChildren(node);
    if (children.empty()) {
        return;
    }
    const auto kind = returnKindOf(children.front().name());
    if (!kind) {
        fail(std::string("unexpected ") + children.front().name() + " in IRETURNVALUE");
    }
    response.kind = *kind;
    for (const pugi::xml_node child : children) {
        if (std::strcmp(child.name(), children.front().name()) != 0) {
            fail(std::string("IRETURNVALUE mixes ") + children.front().name() + " and " + child.name());
        }
    }
    if (*kind != CIMReturnKind::Value) {
        response.instances.reserve(children.size());
        for (const pugi::xml_node child : children) {
            decodeReturnItem(decoder, child, *kind, response);
        }
        return;
    }
    const bool reference = is(children.front(), "VALUE.REFERENCE");
    if (children.size() == 1) {
        response.value = decoder.decodeValue(children.front(), reference ? CIMType::Reference : CIMType::String);
        return;
    }
    if (!is(children.front(), "VALUE")) {
        fail(std::string("more than one ") + children.front().name() + " in IRETURNVALUE");
    }
    std::vector<std::string> values;
    for (const pugi::xml_node child : children) {
        values.push_back(decoder.decodeValue(child, CIMType::String).get<std::string>());
    }
    response.value = CIMValue(std::move(values));
}

// IMETHODRESPONSE: (ERROR | (IRETURNVALUE?, PARAMVALUE*))
// METHODRESPONSE:  (ERROR | (RETURNVALUE?, PARAMVALUE*))
// With `separateList`, IRETURNVALUE is not read but handed back there: its items are read
// apart from this tree.
void decodeMethodResponse(CIMXmlDecoder& decoder, pugi::xml_node node, CIMResponse& response,
                          pugi::xml_node* separateList) {
    response.extrinsic = is(node, "METHODRESPONSE");
    response.methodName = methodName(node);
    const auto children = elementChildren(node);
    if (!children.empty() && is(children.front(), "ERROR")) {
        if (children.size() > 1) {
            fail(std::string("unexpected ") + children[1].name() + " after ERROR");
        }
        response.error = decoder.decodeError(children.front());
        return;
    }
    const char* returnElement = response.extrinsic ? "RETURNVALUE" : "IRETURNVALUE";
    size_t next = 0;
    if (next < children.size() && is(children[next], returnElement)) {
        if (response.extrinsic) {
            response.returnValue = decoder.decodeReturnValue(children[next]);
        } else if (separateList) {
            *separateList = children[next];
        } else {
            decodeIReturnValue(decoder, children[next], response);
        }
        ++next;
    }
    for (; next < children.size(); ++next) {
        response.outParams.push_back(decoder.decodeParamValue(children[next]));
    }
}

CIMResponse decodeDocument(const CIMXmlDocument& document, pugi::xml_node* separateList) {
    CIMResponse response;
    const pugi::xml_node method = onlyChild(openMessage(document, response.messageId, "SIMPLERSP"));
    if (!is(method, "IMETHODRESPONSE") && !is(method, "METHODRESPONSE")) {
        fail(std::string("unexpected ") + method.name() + " in SIMPLERSP");
    }
    CIMXmlDecoder decoder;
    decodeMethodResponse(decoder, method, response, separateList);
    return response;
}

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

CIMXmlResponseReader::CIMXmlResponseReader(std::string xml, Mode mode) : m_xml(std::move(xml)), m_mode(mode) {}

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
        CIMResponse head = decodeDocument(document, &list);
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
    const CIMXmlDocument document(std::move(m_xml), "CIM");
    m_whole = decodeDocument(document, nullptr);
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
