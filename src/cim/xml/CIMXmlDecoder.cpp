#include "cim/xml/CIMXmlDecoder.h"

#include <algorithm>
#include <cstring>

#include <pugixml.hpp>

#include "cim/xml/CIMIntrinsicParams.h"
#include "cim/value/CIMScalarText.h"
#include "cim/value/CIMTextRules.h"
#include "cim/value/CIMValueError.h"
#include "cim/value/CIMValueRep.h"
#include "cim/xml/CIMXmlDocument.h"
#include "cim/xml/CIMXmlError.h"

namespace cim {
namespace {

using Storage = detail::CIMValueAccess::Storage;
using detail::CIMArrayRep;

[[noreturn]] void fail(const std::string& message) { throw CIMXmlError(message); }

// Called for nearly every element; most names that differ do so in their first letter.
bool is(pugi::xml_node node, const char* name) {
    const char* actual = node.name();
    return actual[0] == name[0] && std::strcmp(actual, name) == 0;
}

void expectName(pugi::xml_node node, const char* name) {
    if (!is(node, name)) {
        fail(std::string("expected ") + name + ", found " + node.name());
    }
}

bool isBlank(const char* text) {
    for (; *text; ++text) {
        if (*text != ' ' && *text != '\t' && *text != '\n' && *text != '\r') {
            return false;
        }
    }
    return true;
}

std::optional<std::string_view> optionalAttribute(pugi::xml_node node, const char* name) {
    const pugi::xml_attribute attribute = node.attribute(name);
    if (!attribute) {
        return std::nullopt;
    }
    return std::string_view(attribute.value());
}

std::string_view requiredAttribute(pugi::xml_node node, const char* name) {
    const pugi::xml_attribute attribute = node.attribute(name);
    if (!attribute) {
        fail(std::string("missing attribute ") + name + " on " + node.name());
    }
    return attribute.value();
}

void checkText(std::string_view text, pugi::xml_node node) {
    if (const detail::TextCheck check = detail::checkText(text); !check) {
        fail(detail::describe(check) + " in " + node.name());
    }
}

// CIMName checks the name itself; only the empty (null) name it takes is refused here.
CIMName nameFrom(std::string_view text, pugi::xml_node node, const char* attribute) {
    try {
        if (!text.empty()) {
            return CIMName(text);
        }
    } catch (const CIMValueError&) {
    }
    fail(std::string("illegal name \"") + std::string(text) + "\" in " + attribute + " of " + node.name());
}

CIMName requiredName(pugi::xml_node node, const char* attribute) {
    return nameFrom(requiredAttribute(node, attribute), node, attribute);
}

CIMName optionalName(pugi::xml_node node, const char* attribute) {
    const auto text = optionalAttribute(node, attribute);
    return text ? nameFrom(*text, node, attribute) : CIMName();
}

// The element children of an element-only content model, in order. Stray text is an
// error; QUALIFIER (and, in classes, METHOD) elements are passed over where asked.
class Children {
public:
    explicit Children(pugi::xml_node parent) : m_parent(parent), m_next(parent.first_child()) {
        if (!isBlank(parent.value())) {
            fail(std::string("unexpected text in ") + parent.name());
        }
    }

    pugi::xml_node next() {
        for (; m_next; m_next = m_next.next_sibling()) {
            const pugi::xml_node_type type = m_next.type();
            if (type == pugi::node_element) {
                const pugi::xml_node node = m_next;
                m_next = m_next.next_sibling();
                return node;
            }
            if ((type == pugi::node_pcdata || type == pugi::node_cdata) && !isBlank(m_next.value())) {
                fail(std::string("unexpected text in ") + m_parent.name());
            }
        }
        return {};
    }

    // Next element that is not one of the skipped ones.
    pugi::xml_node nextSkipping(const char* skipped, const char* alsoSkipped = nullptr) {
        for (pugi::xml_node node = next(); node; node = next()) {
            if (!is(node, skipped) && !(alsoSkipped && is(node, alsoSkipped))) {
                return node;
            }
        }
        return {};
    }

    pugi::xml_node expect(const char* name) {
        const pugi::xml_node node = next();
        if (!node) {
            fail(std::string("missing ") + name + " in " + m_parent.name());
        }
        expectName(node, name);
        return node;
    }

    pugi::xml_node expectAny() {
        const pugi::xml_node node = next();
        if (!node) {
            fail(std::string("missing content in ") + m_parent.name());
        }
        return node;
    }

    void expectEnd() {
        if (const pugi::xml_node extra = next()) {
            fail(std::string("unexpected ") + extra.name() + " in " + m_parent.name());
        }
    }

private:
    pugi::xml_node m_parent;
    pugi::xml_node m_next;
};

// The value of an EmbeddedObject attribute (or its legacy upper-case spelling).
std::optional<CIMType> embeddedKind(std::optional<std::string_view> text, pugi::xml_node node) {
    if (!text) {
        return std::nullopt;
    }
    if (detail::equalNoCase(*text, "instance")) {
        return CIMType::Instance;
    }
    if (detail::equalNoCase(*text, "object")) {
        return CIMType::Object;
    }
    fail("EmbeddedObject \"" + std::string(*text) + "\" on " + node.name() +
         " is neither \"instance\" nor \"object\"");
}

// The CIM type from a TYPE or PARAMTYPE attribute combined with EmbeddedObject.
std::optional<CIMType> combinedType(std::optional<std::string_view> typeText,
                                    std::optional<std::string_view> embeddedText,
                                    pugi::xml_node node, const char* attribute) {
    const auto embedded = embeddedKind(embeddedText, node);
    if (!typeText) {
        return embedded;
    }
    const auto type = detail::trimXmlSpace(*typeText);
    const std::optional<CIMType> named = cimTypeFromName(type);
    if (!named) {
        fail("unknown " + std::string(attribute) + " \"" + std::string(type) + "\" on " +
             node.name());
    }
    if (embedded) {
        if (*named != CIMType::String && *named != *embedded) {
            fail(std::string("EmbeddedObject on ") + node.name() + " of type " +
                 std::string(type));
        }
        return embedded;
    }
    return named;
}

std::optional<CIMType> typeAttribute(pugi::xml_node node, const char* attribute) {
    auto embedded = optionalAttribute(node, "EmbeddedObject");
    if (!embedded) {
        embedded = optionalAttribute(node, "EMBEDDEDOBJECT");
    }
    return combinedType(optionalAttribute(node, attribute), embedded, node, attribute);
}

// The stored form of one scalar read from text; references and embedded objects are
// handled by their callers.
Storage storedScalar(CIMType type, std::string_view text, pugi::xml_node node) {
    if (type == CIMType::String) {
        checkText(text, node);
        return std::string(text);
    }
    if (type == CIMType::Char16) {
        checkText(text, node);
    }
    try {
        return detail::CIMValueAccess::storage(CIMValue::fromText(type, text));
    } catch (const CIMValueError& e) {
        fail(std::string(e.what()) + " in " + node.name());
    }
}

template <typename Stored>
void appendStored(CIMArrayRep::Elements& elements, Storage&& stored) {
    std::get<std::vector<Stored>>(elements).push_back(std::get<Stored>(std::move(stored)));
}

CIMArrayRep::Elements emptyElementsFor(CIMType type) {
    switch (type) {
    case CIMType::Boolean: return std::vector<bool>{};
    case CIMType::Uint8:
    case CIMType::Uint16:
    case CIMType::Uint32:
    case CIMType::Uint64:
    case CIMType::Char16: return std::vector<uint64_t>{};
    case CIMType::Sint8:
    case CIMType::Sint16:
    case CIMType::Sint32:
    case CIMType::Sint64: return std::vector<int64_t>{};
    case CIMType::Real32:
    case CIMType::Real64: return std::vector<double>{};
    case CIMType::String: return std::vector<std::string>{};
    case CIMType::DateTime: return std::vector<CIMDateTime>{};
    case CIMType::Reference: return std::vector<CIMObjectPath>{};
    case CIMType::Object:
    case CIMType::Instance: return std::vector<CIMObject>{};
    }
    return std::vector<std::string>{};
}

void appendToElements(CIMArrayRep::Elements& elements, Storage&& stored) {
    switch (stored.index()) {
    case 1: appendStored<bool>(elements, std::move(stored)); return;
    case 2: appendStored<uint64_t>(elements, std::move(stored)); return;
    case 3: appendStored<int64_t>(elements, std::move(stored)); return;
    case 4: appendStored<double>(elements, std::move(stored)); return;
    case 5: appendStored<std::string>(elements, std::move(stored)); return;
    case 6: appendStored<CIMDateTime>(elements, std::move(stored)); return;
    default: break;
    }
    fail("internal error: unexpected array element kind");
}

void appendDefault(CIMArrayRep::Elements& elements) {
    std::visit([](auto& vector) { vector.emplace_back(); }, elements);
}

CIMValue finishArray(CIMType type, std::shared_ptr<CIMArrayRep> rep) {
    if (std::find(rep->nulls.begin(), rep->nulls.end(), true) == rep->nulls.end()) {
        rep->nulls.clear();
    }
    return detail::CIMValueAccess::make(type, true, std::shared_ptr<const CIMArrayRep>(std::move(rep)));
}

CIMKeyBinding::Type keyTypeFromAttributes(pugi::xml_node node) {
    if (const auto valueType = optionalAttribute(node, "VALUETYPE")) {
        if (*valueType == "string") return CIMKeyBinding::Type::String;
        if (*valueType == "boolean") return CIMKeyBinding::Type::Boolean;
        if (*valueType == "numeric") return CIMKeyBinding::Type::Numeric;
        fail("unknown VALUETYPE \"" + std::string(*valueType) + "\" on KEYVALUE");
    }
    // Without VALUETYPE a TYPE attribute still tells booleans and numbers apart.
    const auto type = optionalAttribute(node, "TYPE");
    const auto cimType = type ? cimTypeFromName(*type) : std::nullopt;
    if (type && !cimType) {
        fail("unknown TYPE \"" + std::string(*type) + "\" on KEYVALUE");
    }
    if (cimType == CIMType::Boolean) return CIMKeyBinding::Type::Boolean;
    if (cimType && (isIntegerType(*cimType) || isRealType(*cimType))) {
        return CIMKeyBinding::Type::Numeric;
    }
    return CIMKeyBinding::Type::String;
}

size_t countElements(pugi::xml_node parent) {
    size_t count = 0;
    for (pugi::xml_node child = parent.first_child(); child; child = child.next_sibling()) {
        count += child.type() == pugi::node_element ? 1 : 0;
    }
    return count;
}

// Checked before any property is read, so a hostile element costs nothing more.
void checkPropertyCount(pugi::xml_node node, size_t limit) {
    const size_t count = countElements(node);
    if (count > limit) {
        fail(std::to_string(count) + " elements in " + node.name() + ", more than the " + std::to_string(limit) +
             " allowed");
    }
}

void addDecodedProperty(CIMPropertyContainer& container, CIMProperty&& property, const char* owner) {
    try {
        container.addProperty(std::move(property));
    } catch (const CIMValueError& e) {
        fail(std::string(e.what()) + " in " + owner);
    }
}

// The attributes a property element may carry, read in one pass.
struct PropertyAttributes {
    std::optional<std::string_view> name;
    std::optional<std::string_view> type;
    std::optional<std::string_view> embeddedObject;
    std::optional<std::string_view> classOrigin;
    std::optional<std::string_view> propagated;
    std::optional<std::string_view> referenceClass;

    explicit PropertyAttributes(pugi::xml_node node) {
        for (pugi::xml_attribute a = node.first_attribute(); a; a = a.next_attribute()) {
            std::optional<std::string_view>* slot = slotFor(a.name());
            if (slot && !*slot) {
                *slot = std::string_view(a.value());
            }
        }
    }

private:
    // One comparison per attribute: the first letter tells the candidate.
    std::optional<std::string_view>* slotFor(const char* n) {
        switch (n[0]) {
        case 'N': return std::strcmp(n, "NAME") == 0 ? &name : nullptr;
        case 'T': return std::strcmp(n, "TYPE") == 0 ? &type : nullptr;
        case 'C': return std::strcmp(n, "CLASSORIGIN") == 0 ? &classOrigin : nullptr;
        case 'P': return std::strcmp(n, "PROPAGATED") == 0 ? &propagated : nullptr;
        case 'R': return std::strcmp(n, "REFERENCECLASS") == 0 ? &referenceClass : nullptr;
        case 'E':
            return std::strcmp(n, "EmbeddedObject") == 0 || std::strcmp(n, "EMBEDDEDOBJECT") == 0 ? &embeddedObject
                                                                                                  : nullptr;
        default: return nullptr;
        }
    }
};

} // namespace

class CIMXmlDecoder::NestingGuard {
public:
    explicit NestingGuard(CIMXmlDecoder& decoder) : m_decoder(decoder) {
        if (++m_decoder.m_nesting > kMaxNesting) {
            --m_decoder.m_nesting;
            fail("references or embedded objects nested too deeply");
        }
    }
    ~NestingGuard() { --m_decoder.m_nesting; }
    NestingGuard(const NestingGuard&) = delete;
    NestingGuard& operator=(const NestingGuard&) = delete;

private:
    CIMXmlDecoder& m_decoder;
};

// The text of an element: its own value (leading text, see CIMXmlDocument) followed by any
// text and CDATA children.
std::string_view CIMXmlDecoder::textOf(pugi::xml_node node) {
    const pugi::xml_node first = node.first_child();
    if (!first) {
        return node.value();
    }
    const bool single = !first.next_sibling() && !CIMXmlDocument::hasText(node);
    if (single && (first.type() == pugi::node_pcdata || first.type() == pugi::node_cdata)) {
        return first.value();
    }
    m_text = node.value();
    for (pugi::xml_node child = first; child; child = child.next_sibling()) {
        if (child.type() == pugi::node_element) {
            fail(std::string("unexpected ") + child.name() + " in " + node.name());
        }
        if (child.type() == pugi::node_pcdata || child.type() == pugi::node_cdata) {
            m_text += child.value();
        }
    }
    return m_text;
}

// INSTANCE: (QUALIFIER*, (PROPERTY | PROPERTY.ARRAY | PROPERTY.REFERENCE)*)
CIMInstance CIMXmlDecoder::decodeInstance(pugi::xml_node node) {
    expectName(node, "INSTANCE");
    CIMInstance instance(requiredName(node, "CLASSNAME"));
    checkPropertyCount(node, kMaxProperties);
    instance.reserveProperties(countElements(node));
    Children children(node);
    for (pugi::xml_node child = children.nextSkipping("QUALIFIER"); child;
         child = children.nextSkipping("QUALIFIER")) {
        addDecodedProperty(instance, decodeProperty(child), "INSTANCE");
    }
    return instance;
}

// CLASS: (QUALIFIER*, (PROPERTY | PROPERTY.ARRAY | PROPERTY.REFERENCE)*, METHOD*)
CIMClass CIMXmlDecoder::decodeClass(pugi::xml_node node) {
    expectName(node, "CLASS");
    CIMClass cimClass(requiredName(node, "NAME"), optionalName(node, "SUPERCLASS"));
    checkPropertyCount(node, kMaxProperties);
    Children children(node);
    for (pugi::xml_node child = children.nextSkipping("QUALIFIER", "METHOD"); child;
         child = children.nextSkipping("QUALIFIER", "METHOD")) {
        addDecodedProperty(cimClass, decodeProperty(child), "CLASS");
    }
    return cimClass;
}

CIMObject CIMXmlDecoder::decodeObject(pugi::xml_node node) {
    if (is(node, "CLASS")) {
        return decodeClass(node);
    }
    return decodeInstance(node);
}

CIMProperty CIMXmlDecoder::decodeProperty(pugi::xml_node node) {
    const bool reference = is(node, "PROPERTY.REFERENCE");
    const bool array = is(node, "PROPERTY.ARRAY");
    if (!reference && !array && !is(node, "PROPERTY")) {
        fail(std::string("unexpected ") + node.name() + " where a property was expected");
    }
    const PropertyAttributes attributes(node);
    if (!attributes.name) {
        fail(std::string("missing attribute NAME on ") + node.name());
    }
    CIMName name = nameFrom(*attributes.name, node, "NAME");
    std::optional<CIMType> type = CIMType::Reference;
    if (!reference) {
        type = combinedType(attributes.type, attributes.embeddedObject, node, "TYPE");
        if (!type) {
            fail("missing attribute TYPE on " + std::string(node.name()));
        }
        if (*type == CIMType::Reference) {
            fail("TYPE reference on " + std::string(node.name()));
        }
    }
    const auto& propagated = attributes.propagated;
    if (propagated && *propagated != "true" && *propagated != "false") {
        fail("PROPAGATED must be \"true\" or \"false\" on " + std::string(node.name()));
    }
    const char* valueElement = reference ? "VALUE.REFERENCE" : array ? "VALUE.ARRAY" : "VALUE";
    Children children(node);
    const pugi::xml_node valueNode = children.nextSkipping("QUALIFIER");
    CIMValue value(*type, array);
    if (valueNode) {
        expectName(valueNode, valueElement);
        value = decodeValue(valueNode, *type);
        children.expectEnd();
    }
    CIMName classOrigin = attributes.classOrigin ? nameFrom(*attributes.classOrigin, node, "CLASSORIGIN") : CIMName();
    CIMName referenceClass = reference && attributes.referenceClass
                                 ? nameFrom(*attributes.referenceClass, node, "REFERENCECLASS")
                                 : CIMName();
    return CIMProperty(std::move(name), std::move(value), std::move(classOrigin),
                       propagated == "true", std::move(referenceClass));
}

CIMValue CIMXmlDecoder::decodeValue(pugi::xml_node node, CIMType type) {
    if (is(node, "VALUE.ARRAY")) {
        if (type == CIMType::Reference) {
            fail("VALUE.ARRAY of references");
        }
        return decodeArray(node, type);
    }
    if (is(node, "VALUE.REFARRAY")) {
        if (type != CIMType::Reference) {
            fail("VALUE.REFARRAY for a value of type " + std::string(cimTypeName(type)));
        }
        return decodeRefArray(node);
    }
    if (is(node, "VALUE.REFERENCE")) {
        if (type != CIMType::Reference) {
            fail("VALUE.REFERENCE for a value of type " + std::string(cimTypeName(type)));
        }
        return CIMValue(decodeReference(node));
    }
    expectName(node, "VALUE");
    if (type == CIMType::Reference) {
        fail("VALUE for a reference");
    }
    return decodeScalar(node, type);
}

CIMValue CIMXmlDecoder::decodeScalar(pugi::xml_node node, CIMType type) {
    const std::string_view text = textOf(node);
    if (isEmbeddedType(type)) {
        if (detail::trimXmlSpace(text).empty()) {
            return CIMValue(type, false);
        }
        CIMObject object = decodeEmbedded(text, type);
        if (type == CIMType::Instance) {
            return CIMValue(std::move(object.getInstance()));
        }
        return CIMValue(std::move(object));
    }
    return detail::CIMValueAccess::make(type, false, storedScalar(type, text, node));
}

// VALUE.ARRAY: (VALUE | VALUE.NULL)*
CIMValue CIMXmlDecoder::decodeArray(pugi::xml_node node, CIMType type) {
    auto rep = std::make_shared<CIMArrayRep>();
    rep->elements = emptyElementsFor(type);
    Children children(node);
    for (pugi::xml_node child = children.next(); child; child = children.next()) {
        const bool null = is(child, "VALUE.NULL");
        if (!null) {
            expectName(child, "VALUE");
        }
        rep->nulls.push_back(null);
        if (null) {
            appendDefault(rep->elements);
        } else if (isEmbeddedType(type)) {
            // A blank element is a null one, as a blank scalar is a null value.
            const std::string_view text = textOf(child);
            const bool blank = detail::trimXmlSpace(text).empty();
            rep->nulls.back() = blank;
            auto& objects = std::get<std::vector<CIMObject>>(rep->elements);
            objects.push_back(blank ? CIMObject() : decodeEmbedded(text, type));
        } else {
            appendToElements(rep->elements, storedScalar(type, textOf(child), child));
        }
    }
    return finishArray(type, std::move(rep));
}

// VALUE.REFARRAY: (VALUE.REFERENCE | VALUE.NULL)*
CIMValue CIMXmlDecoder::decodeRefArray(pugi::xml_node node) {
    auto rep = std::make_shared<CIMArrayRep>();
    rep->elements = std::vector<CIMObjectPath>{};
    auto& paths = std::get<std::vector<CIMObjectPath>>(rep->elements);
    Children children(node);
    for (pugi::xml_node child = children.next(); child; child = children.next()) {
        const bool null = is(child, "VALUE.NULL");
        rep->nulls.push_back(null);
        if (null) {
            paths.emplace_back();
            continue;
        }
        expectName(child, "VALUE.REFERENCE");
        paths.push_back(decodeReference(child));
    }
    return finishArray(CIMType::Reference, std::move(rep));
}

// The text of an embedded object is itself a CIM-XML INSTANCE (or CLASS) element.
CIMObject CIMXmlDecoder::decodeEmbedded(std::string_view text, CIMType type) {
    NestingGuard guard(*this);
    const CIMXmlDocument document(std::string(text), nullptr);
    const pugi::xml_node root = document.root();
    if (is(root, "CLASS") && type == CIMType::Object) {
        return decodeClass(root);
    }
    if (is(root, "CLASS")) {
        fail("EmbeddedObject=\"instance\" holds a CLASS");
    }
    if (!is(root, "INSTANCE")) {
        fail(std::string("expected INSTANCE as the embedded object, found ") + root.name());
    }
    return decodeInstance(root);
}

CIMName CIMXmlDecoder::decodeClassName(pugi::xml_node node) {
    expectName(node, "CLASSNAME");
    Children(node).expectEnd();
    return requiredName(node, "NAME");
}

// INSTANCENAME: (KEYBINDING* | KEYVALUE? | VALUE.REFERENCE?)
CIMObjectPath CIMXmlDecoder::decodeInstanceName(pugi::xml_node node) {
    expectName(node, "INSTANCENAME");
    CIMObjectPath path;
    path.setClassName(requiredName(node, "CLASSNAME"));
    Children children(node);
    for (pugi::xml_node child = children.next(); child; child = children.next()) {
        if (is(child, "KEYBINDING")) {
            path.addKeyBinding(decodeKeyBinding(child));
            continue;
        }
        // A lone unnamed key, as some servers send for classes with one key.
        if (path.hasKeys()) {
            fail(std::string("unexpected ") + child.name() + " in INSTANCENAME");
        }
        path.addKeyBinding(decodeKeyValue(child, CIMName()));
        children.expectEnd();
    }
    return path;
}

// KEYBINDING: (KEYVALUE | VALUE.REFERENCE); a missing NAME is tolerated as an unnamed key.
CIMKeyBinding CIMXmlDecoder::decodeKeyBinding(pugi::xml_node node) {
    const auto name = optionalAttribute(node, "NAME");
    const CIMName keyName = name && !name->empty() ? nameFrom(*name, node, "NAME") : CIMName();
    Children children(node);
    CIMKeyBinding key = decodeKeyValue(children.expectAny(), keyName);
    children.expectEnd();
    return key;
}

CIMKeyBinding CIMXmlDecoder::decodeKeyValue(pugi::xml_node node, const CIMName& name) {
    if (is(node, "VALUE.REFERENCE")) {
        return CIMKeyBinding(name, decodeReference(node));
    }
    expectName(node, "KEYVALUE");
    const CIMKeyBinding::Type type = keyTypeFromAttributes(node);
    std::string_view text = textOf(node);
    checkText(text, node);
    if (type != CIMKeyBinding::Type::String) {
        text = detail::trimXmlSpace(text);
    }
    try {
        return CIMKeyBinding(name, std::string(text), type);
    } catch (const CIMValueError& e) {
        fail(std::string(e.what()) + " in KEYVALUE");
    }
}

// LOCALNAMESPACEPATH: (NAMESPACE+). Some servers put the whole name ("root/snia") into
// one NAMESPACE.
CIMNamespaceName CIMXmlDecoder::decodeLocalNamespacePath(pugi::xml_node node) {
    expectName(node, "LOCALNAMESPACEPATH");
    std::string joined;
    Children children(node);
    for (pugi::xml_node child = children.next(); child; child = children.next()) {
        expectName(child, "NAMESPACE");
        const std::string_view component = requiredAttribute(child, "NAME");
        if (!CIMNamespaceName::legal(component)) {
            fail("illegal NAMESPACE name \"" + std::string(component) + "\"");
        }
        if (!joined.empty()) {
            joined += '/';
        }
        joined += component;
    }
    if (joined.empty()) {
        fail("LOCALNAMESPACEPATH without NAMESPACE");
    }
    return CIMNamespaceName(std::move(joined));
}

// NAMESPACEPATH: (HOST, LOCALNAMESPACEPATH)
CIMObjectPath CIMXmlDecoder::decodeNamespacePath(pugi::xml_node node) {
    expectName(node, "NAMESPACEPATH");
    Children children(node);
    const pugi::xml_node host = children.expect("HOST");
    CIMObjectPath path;
    try {
        path.setHost(std::string(detail::trimXmlSpace(textOf(host))));
    } catch (const CIMValueError& e) {
        fail(std::string(e.what()) + " in HOST");
    }
    path.setNameSpace(decodeLocalNamespacePath(children.expect("LOCALNAMESPACEPATH")));
    children.expectEnd();
    return path;
}

// INSTANCEPATH: (NAMESPACEPATH, INSTANCENAME)
CIMObjectPath CIMXmlDecoder::decodeInstancePath(pugi::xml_node node) {
    expectName(node, "INSTANCEPATH");
    Children children(node);
    const CIMObjectPath where = decodeNamespacePath(children.expect("NAMESPACEPATH"));
    CIMObjectPath path = decodeInstanceName(children.expect("INSTANCENAME"));
    children.expectEnd();
    path.setHost(where.getHost());
    path.setNameSpace(where.getNameSpace());
    return path;
}

// LOCALINSTANCEPATH: (LOCALNAMESPACEPATH, INSTANCENAME)
CIMObjectPath CIMXmlDecoder::decodeLocalInstancePath(pugi::xml_node node) {
    expectName(node, "LOCALINSTANCEPATH");
    Children children(node);
    CIMNamespaceName nameSpace = decodeLocalNamespacePath(children.expect("LOCALNAMESPACEPATH"));
    CIMObjectPath path = decodeInstanceName(children.expect("INSTANCENAME"));
    children.expectEnd();
    path.setNameSpace(std::move(nameSpace));
    return path;
}

// CLASSPATH: (NAMESPACEPATH, CLASSNAME)
CIMObjectPath CIMXmlDecoder::decodeClassPath(pugi::xml_node node) {
    expectName(node, "CLASSPATH");
    Children children(node);
    CIMObjectPath path = decodeNamespacePath(children.expect("NAMESPACEPATH"));
    path.setClassName(decodeClassName(children.expect("CLASSNAME")));
    children.expectEnd();
    return path;
}

// LOCALCLASSPATH: (LOCALNAMESPACEPATH, CLASSNAME)
CIMObjectPath CIMXmlDecoder::decodeLocalClassPath(pugi::xml_node node) {
    expectName(node, "LOCALCLASSPATH");
    Children children(node);
    CIMObjectPath path;
    path.setNameSpace(decodeLocalNamespacePath(children.expect("LOCALNAMESPACEPATH")));
    path.setClassName(decodeClassName(children.expect("CLASSNAME")));
    children.expectEnd();
    return path;
}

// OBJECTPATH: (INSTANCEPATH | CLASSPATH)
CIMObjectPath CIMXmlDecoder::decodeObjectPath(pugi::xml_node node) {
    expectName(node, "OBJECTPATH");
    Children children(node);
    const pugi::xml_node child = children.expectAny();
    children.expectEnd();
    return is(child, "CLASSPATH") ? decodeClassPath(child) : decodeInstancePath(child);
}

CIMObjectPath CIMXmlDecoder::decodeReference(pugi::xml_node node) {
    NestingGuard guard(*this);
    if (is(node, "VALUE.REFERENCE")) {
        Children children(node);
        const pugi::xml_node child = children.expectAny();
        children.expectEnd();
        return decodeReference(child);
    }
    if (is(node, "INSTANCEPATH")) return decodeInstancePath(node);
    if (is(node, "LOCALINSTANCEPATH")) return decodeLocalInstancePath(node);
    if (is(node, "INSTANCENAME")) return decodeInstanceName(node);
    if (is(node, "CLASSPATH")) return decodeClassPath(node);
    if (is(node, "LOCALCLASSPATH")) return decodeLocalClassPath(node);
    if (is(node, "CLASSNAME")) {
        CIMObjectPath path;
        path.setClassName(decodeClassName(node));
        return path;
    }
    fail(std::string("unexpected ") + node.name() + " where a reference was expected");
}

// VALUE.NAMEDINSTANCE: (INSTANCENAME, INSTANCE)
CIMInstance CIMXmlDecoder::decodeNamedInstance(pugi::xml_node node) {
    expectName(node, "VALUE.NAMEDINSTANCE");
    Children children(node);
    CIMObjectPath path = decodeInstanceName(children.expect("INSTANCENAME"));
    CIMInstance instance = decodeInstance(children.expect("INSTANCE"));
    children.expectEnd();
    instance.setPath(std::move(path));
    return instance;
}

// VALUE.INSTANCEWITHPATH: (INSTANCEPATH, INSTANCE)
CIMInstance CIMXmlDecoder::decodeInstanceWithPath(pugi::xml_node node) {
    expectName(node, "VALUE.INSTANCEWITHPATH");
    Children children(node);
    CIMObjectPath path = decodeInstancePath(children.expect("INSTANCEPATH"));
    CIMInstance instance = decodeInstance(children.expect("INSTANCE"));
    children.expectEnd();
    instance.setPath(std::move(path));
    return instance;
}

// VALUE.OBJECT: (CLASS | INSTANCE)
CIMObject CIMXmlDecoder::decodeValueObject(pugi::xml_node node) {
    expectName(node, "VALUE.OBJECT");
    Children children(node);
    CIMObject object = decodeObject(children.expectAny());
    children.expectEnd();
    return object;
}

// VALUE.OBJECTWITHPATH: ((CLASSPATH, CLASS) | (INSTANCEPATH, INSTANCE))
CIMObject CIMXmlDecoder::decodeObjectWithPath(pugi::xml_node node) {
    expectName(node, "VALUE.OBJECTWITHPATH");
    Children children(node);
    const pugi::xml_node pathNode = children.expectAny();
    const bool isClass = is(pathNode, "CLASSPATH");
    CIMObjectPath path = isClass ? decodeClassPath(pathNode) : decodeInstancePath(pathNode);
    CIMObject object = isClass ? CIMObject(decodeClass(children.expect("CLASS")))
                               : CIMObject(decodeInstance(children.expect("INSTANCE")));
    children.expectEnd();
    object.setPath(std::move(path));
    return object;
}

// VALUE.OBJECTWITHLOCALPATH: ((LOCALCLASSPATH, CLASS) | (LOCALINSTANCEPATH, INSTANCE))
CIMObject CIMXmlDecoder::decodeObjectWithLocalPath(pugi::xml_node node) {
    expectName(node, "VALUE.OBJECTWITHLOCALPATH");
    Children children(node);
    const pugi::xml_node pathNode = children.expectAny();
    const bool isClass = is(pathNode, "LOCALCLASSPATH");
    CIMObjectPath path = isClass ? decodeLocalClassPath(pathNode) : decodeLocalInstancePath(pathNode);
    CIMObject object = isClass ? CIMObject(decodeClass(children.expect("CLASS")))
                               : CIMObject(decodeInstance(children.expect("INSTANCE")));
    children.expectEnd();
    object.setPath(std::move(path));
    return object;
}

// The content of a PARAMVALUE or IPARAMVALUE. Without a declared type a VALUE reads as a
// string and the element tells references and instances apart.
CIMValue CIMXmlDecoder::decodeParamContent(pugi::xml_node child, const char* owner,
                                           std::optional<CIMType> type) {
    if (is(child, "VALUE") || is(child, "VALUE.ARRAY") || is(child, "VALUE.REFERENCE") ||
        is(child, "VALUE.REFARRAY")) {
        const bool reference = is(child, "VALUE.REFERENCE") || is(child, "VALUE.REFARRAY");
        return decodeValue(child, type.value_or(reference ? CIMType::Reference : CIMType::String));
    }
    if (type && *type != CIMType::Reference && !isEmbeddedType(*type)) {
        fail(std::string(child.name()) + " in " + owner + " of type " +
             std::string(cimTypeName(*type)));
    }
    if (is(child, "INSTANCENAME") || is(child, "CLASSNAME")) {
        return CIMValue(decodeReference(child));
    }
    if (type == CIMType::Reference) {
        fail(std::string(child.name()) + " in " + owner + " of type reference");
    }
    if (is(child, "INSTANCE")) {
        CIMInstance instance = decodeInstance(child);
        return type == CIMType::Object ? CIMValue(CIMObject(std::move(instance)))
                                       : CIMValue(std::move(instance));
    }
    if (is(child, "VALUE.NAMEDINSTANCE")) {
        // Tolerated from peers, but an instance passed as a value has no path.
        CIMInstance instance = decodeNamedInstance(child);
        instance.setPath(CIMObjectPath());
        return type == CIMType::Object ? CIMValue(CIMObject(std::move(instance)))
                                       : CIMValue(std::move(instance));
    }
    if (is(child, "CLASS") && type != CIMType::Instance) {
        return CIMValue(CIMObject(decodeClass(child)));
    }
    fail(std::string("unexpected ") + child.name() + " in " + owner);
}

// PARAMVALUE: (VALUE | VALUE.REFERENCE | VALUE.ARRAY | VALUE.REFARRAY | CLASSNAME |
//              INSTANCENAME | CLASS | INSTANCE | VALUE.NAMEDINSTANCE)?
CIMParamValue CIMXmlDecoder::decodeParamValue(pugi::xml_node node) {
    expectName(node, "PARAMVALUE");
    CIMName name = requiredName(node, "NAME");
    std::optional<CIMType> type = typeAttribute(node, "PARAMTYPE");
    if (!type) {
        type = typeAttribute(node, "TYPE");
    }
    Children children(node);
    const pugi::xml_node child = children.next();
    if (!child) {
        return CIMParamValue(std::move(name), CIMValue(type.value_or(CIMType::String), false),
                             type.has_value());
    }
    CIMValue value = decodeParamContent(child, "PARAMVALUE", type);
    children.expectEnd();
    return CIMParamValue(std::move(name), std::move(value), type.has_value());
}

// IPARAMVALUE: (VALUE | VALUE.ARRAY | VALUE.REFERENCE | CLASSNAME | INSTANCENAME |
//               QUALIFIER.DECLARATION | CLASS | INSTANCE | VALUE.NAMEDINSTANCE)?
CIMParamValue CIMXmlDecoder::decodeIParamValue(pugi::xml_node node) {
    expectName(node, "IPARAMVALUE");
    CIMName name = requiredName(node, "NAME");
    const detail::IParamForm form = detail::intrinsicParamForm(name);
    Children children(node);
    const pugi::xml_node child = children.next();
    if (!child) {
        return CIMParamValue(std::move(name), CIMValue(), false);
    }
    CIMValue value;
    if (form == detail::IParamForm::ClassName && is(child, "CLASSNAME")) {
        value = CIMValue(decodeClassName(child).getString());
    } else if (form == detail::IParamForm::Boolean && is(child, "VALUE")) {
        value = decodeValue(child, CIMType::Boolean);
    } else if (is(child, "VALUE.NAMEDINSTANCE")) {
        value = CIMValue(decodeNamedInstance(child));
    } else {
        value = decodeParamContent(child, "IPARAMVALUE", std::nullopt);
    }
    children.expectEnd();
    const bool untypedText = is(child, "VALUE") || is(child, "VALUE.ARRAY");
    const bool typed = form == detail::IParamForm::Boolean || !untypedText;
    return CIMParamValue(std::move(name), std::move(value), typed);
}

// RETURNVALUE: (VALUE | VALUE.REFERENCE)?
CIMValue CIMXmlDecoder::decodeReturnValue(pugi::xml_node node, bool* typed) {
    expectName(node, "RETURNVALUE");
    std::optional<CIMType> type = typeAttribute(node, "PARAMTYPE");
    if (!type) {
        type = typeAttribute(node, "TYPE");
    }
    if (typed) {
        *typed = type.has_value();
    }
    Children children(node);
    const pugi::xml_node child = children.next();
    if (!child) {
        return CIMValue(type.value_or(CIMType::String), false);
    }
    CIMValue value = decodeParamContent(child, "RETURNVALUE", type);
    children.expectEnd();
    return value;
}

// EXPPARAMVALUE: (INSTANCE?)
CIMParamValue CIMXmlDecoder::decodeExpParamValue(pugi::xml_node node) {
    expectName(node, "EXPPARAMVALUE");
    CIMName name = requiredName(node, "NAME");
    Children children(node);
    const pugi::xml_node child = children.next();
    if (!child) {
        return CIMParamValue(std::move(name), CIMValue(CIMType::Instance, false));
    }
    CIMInstance instance = decodeInstance(child);
    children.expectEnd();
    return CIMParamValue(std::move(name), CIMValue(std::move(instance)));
}

// ERROR: (INSTANCE*) with CODE and the optional DESCRIPTION
CIMError CIMXmlDecoder::decodeError(pugi::xml_node node) {
    expectName(node, "ERROR");
    const std::string_view codeText = requiredAttribute(node, "CODE");
    const auto code = detail::readSigned(codeText, 0, 0x7FFFFFFF);
    if (!code) {
        fail("invalid CODE \"" + std::string(codeText) + "\" on ERROR");
    }
    CIMError error;
    error.code = static_cast<CIMStatusCode>(*code);
    if (const auto description = optionalAttribute(node, "DESCRIPTION")) {
        checkText(*description, node);
        error.description = std::string(*description);
    }
    Children children(node);
    for (pugi::xml_node child = children.next(); child; child = children.next()) {
        error.instances.push_back(decodeInstance(child));
    }
    return error;
}

} // namespace cim
