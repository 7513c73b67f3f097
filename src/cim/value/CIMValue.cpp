#include "cim/value/CIMValue.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <ostream>
#include <type_traits>

#include "cim/value/CIMObject.h"
#include "cim/value/CIMPrimitiveText.h"
#include "cim/value/CIMScalarText.h"
#include "cim/value/CIMTextRules.h"
#include "cim/value/CIMValueError.h"
#include "cim/value/CIMValueRep.h"

namespace cim {
namespace {

using detail::CIMArrayRep;

// The CIM type of each C++ type that a CIMValue takes and gives.
template <typename T>
constexpr CIMType cimTypeOf() {
    if constexpr (std::is_same_v<T, bool>) return CIMType::Boolean;
    else if constexpr (std::is_same_v<T, uint8_t>) return CIMType::Uint8;
    else if constexpr (std::is_same_v<T, int8_t>) return CIMType::Sint8;
    else if constexpr (std::is_same_v<T, uint16_t>) return CIMType::Uint16;
    else if constexpr (std::is_same_v<T, int16_t>) return CIMType::Sint16;
    else if constexpr (std::is_same_v<T, uint32_t>) return CIMType::Uint32;
    else if constexpr (std::is_same_v<T, int32_t>) return CIMType::Sint32;
    else if constexpr (std::is_same_v<T, uint64_t>) return CIMType::Uint64;
    else if constexpr (std::is_same_v<T, int64_t>) return CIMType::Sint64;
    else if constexpr (std::is_same_v<T, float>) return CIMType::Real32;
    else if constexpr (std::is_same_v<T, double>) return CIMType::Real64;
    else if constexpr (std::is_same_v<T, char16_t>) return CIMType::Char16;
    else if constexpr (std::is_same_v<T, std::string>) return CIMType::String;
    else if constexpr (std::is_same_v<T, CIMDateTime>) return CIMType::DateTime;
    else if constexpr (std::is_same_v<T, CIMObjectPath>) return CIMType::Reference;
    else if constexpr (std::is_same_v<T, CIMInstance>) return CIMType::Instance;
    else {
        static_assert(std::is_same_v<T, CIMObject>, "not a CIM value type");
        return CIMType::Object;
    }
}

// How a scalar of each C++ type is stored (see CIMValue::Storage).
template <typename T>
auto storedScalar(T value) {
    if constexpr (std::is_same_v<T, bool>) return value;
    else if constexpr (std::is_same_v<T, char16_t> || std::is_unsigned_v<T>) return static_cast<uint64_t>(value);
    else if constexpr (std::is_integral_v<T>) return static_cast<int64_t>(value);
    else if constexpr (std::is_floating_point_v<T>) return static_cast<double>(value);
    else if constexpr (std::is_same_v<T, CIMObjectPath>) return std::make_shared<const CIMObjectPath>(std::move(value));
    else if constexpr (std::is_same_v<T, CIMInstance> || std::is_same_v<T, CIMObject>) return std::make_shared<const CIMObject>(std::move(value));
    else return value;
}

template <typename T>
using StoredElement = std::conditional_t<
    std::is_same_v<T, CIMInstance>, CIMObject,
    std::conditional_t<std::is_arithmetic_v<T> && !std::is_same_v<T, bool>,
                       decltype(storedScalar(T{})), T>>;

template <typename T>
std::shared_ptr<const CIMArrayRep> storedArray(std::vector<T> values) {
    auto rep = std::make_shared<CIMArrayRep>();
    if constexpr (std::is_same_v<StoredElement<T>, T>) {
        rep->elements = std::move(values);
    } else {
        std::vector<StoredElement<T>> stored;
        stored.reserve(values.size());
        for (auto& value : values) {
            if constexpr (std::is_same_v<T, CIMInstance>) {
                stored.emplace_back(std::move(value));
            } else {
                stored.push_back(storedScalar(value));
            }
        }
        rep->elements = std::move(stored);
    }
    return rep;
}

std::string typeText(CIMType type, bool isArray) {
    return std::string(cimTypeName(type)) + (isArray ? "[]" : "");
}

[[noreturn]] void mismatch(CIMType have, bool haveArray, CIMType want, bool wantArray) {
    throw CIMValueError("type mismatch: value is " + typeText(have, haveArray) + ", read as " +
                        typeText(want, wantArray));
}

bool typeReadableAs(CIMType have, CIMType want) {
    return have == want || (isEmbeddedType(have) && isEmbeddedType(want));
}

template <typename T>
struct ArrayElement {
    using type = void;
};
template <typename T>
struct ArrayElement<std::vector<T>> {
    using type = T;
};

template <typename T>
T convertElement(const StoredElement<T>& stored) {
    if constexpr (std::is_same_v<T, CIMInstance>) {
        return stored.getInstance();
    } else {
        return static_cast<T>(stored);
    }
}

bool realsEqual(double a, double b) { return a == b || (std::isnan(a) && std::isnan(b)); }

struct StorageEqual {
    template <typename A, typename B>
    bool operator()(const A&, const B&) const { return false; }

    template <typename A>
    bool operator()(const A& a, const A& b) const {
        if constexpr (std::is_same_v<A, double>) {
            return realsEqual(a, b);
        } else if constexpr (std::is_same_v<A, std::shared_ptr<const CIMObjectPath>>) {
            return a->identical(*b);
        } else if constexpr (std::is_same_v<A, std::shared_ptr<const CIMObject>>) {
            return *a == *b;
        } else if constexpr (std::is_same_v<A, std::shared_ptr<const CIMArrayRep>>) {
            return a->nulls == b->nulls && std::visit(*this, a->elements, b->elements);
        } else if constexpr (std::is_same_v<A, std::vector<double>>) {
            return std::equal(a.begin(), a.end(), b.begin(), b.end(), realsEqual);
        } else {
            return a == b;
        }
    }
};

} // namespace

CIMValue::CIMValue() = default;

CIMValue::CIMValue(CIMType type, bool isArray) : m_type(type), m_isArray(isArray) {}

CIMValue::CIMValue(CIMType type, bool isArray, Storage data)
    : m_type(type), m_isArray(isArray), m_data(std::move(data)) {}

#define ORV_CIM_SCALAR_CONSTRUCTOR(T)                                                            \
    CIMValue::CIMValue(T value)                                                                  \
        : m_type(cimTypeOf<T>()), m_isArray(false), m_data(storedScalar<T>(std::move(value))) {} \
    CIMValue::CIMValue(std::vector<T> value)                                                     \
        : m_type(cimTypeOf<T>()), m_isArray(true), m_data(storedArray<T>(std::move(value))) {}

ORV_CIM_SCALAR_CONSTRUCTOR(bool)
ORV_CIM_SCALAR_CONSTRUCTOR(uint8_t)
ORV_CIM_SCALAR_CONSTRUCTOR(int8_t)
ORV_CIM_SCALAR_CONSTRUCTOR(uint16_t)
ORV_CIM_SCALAR_CONSTRUCTOR(int16_t)
ORV_CIM_SCALAR_CONSTRUCTOR(uint32_t)
ORV_CIM_SCALAR_CONSTRUCTOR(int32_t)
ORV_CIM_SCALAR_CONSTRUCTOR(uint64_t)
ORV_CIM_SCALAR_CONSTRUCTOR(int64_t)
ORV_CIM_SCALAR_CONSTRUCTOR(float)
ORV_CIM_SCALAR_CONSTRUCTOR(double)
ORV_CIM_SCALAR_CONSTRUCTOR(char16_t)
ORV_CIM_SCALAR_CONSTRUCTOR(std::string)
ORV_CIM_SCALAR_CONSTRUCTOR(CIMDateTime)
ORV_CIM_SCALAR_CONSTRUCTOR(CIMObjectPath)
ORV_CIM_SCALAR_CONSTRUCTOR(CIMInstance)
ORV_CIM_SCALAR_CONSTRUCTOR(CIMObject)
#undef ORV_CIM_SCALAR_CONSTRUCTOR

CIMValue::CIMValue(const char* value) : CIMValue(std::string(value ? value : "")) {}

CIMValue::CIMValue(const CIMValue&) = default;
CIMValue::CIMValue(CIMValue&&) noexcept = default;
CIMValue& CIMValue::operator=(const CIMValue&) = default;
CIMValue& CIMValue::operator=(CIMValue&&) noexcept = default;
CIMValue::~CIMValue() = default;

size_t CIMValue::getArraySize() const noexcept {
    const auto* rep = std::get_if<std::shared_ptr<const CIMArrayRep>>(&m_data);
    if (!rep) {
        return 0;
    }
    return std::visit([](const auto& elements) { return elements.size(); }, (*rep)->elements);
}

bool CIMValue::isElementNull(size_t index) const noexcept {
    const auto* rep = std::get_if<std::shared_ptr<const CIMArrayRep>>(&m_data);
    return rep && index < (*rep)->nulls.size() && (*rep)->nulls[index];
}

void CIMValue::setNullElements(std::vector<bool> mask) {
    const auto* rep = std::get_if<std::shared_ptr<const CIMArrayRep>>(&m_data);
    if (!rep) {
        throw CIMValueError("null elements need a non-null array");
    }
    if (mask.size() != getArraySize()) {
        throw CIMValueError("null element mask does not match the array size");
    }
    auto copy = std::make_shared<CIMArrayRep>(**rep);
    const bool anyNull = std::find(mask.begin(), mask.end(), true) != mask.end();
    copy->nulls = anyNull ? std::move(mask) : std::vector<bool>{};
    m_data = std::shared_ptr<const CIMArrayRep>(std::move(copy));
}

template <typename T>
T CIMValue::get() const {
    constexpr bool wantArray = !std::is_void_v<typename ArrayElement<T>::type>;
    using Element = std::conditional_t<wantArray, typename ArrayElement<T>::type, T>;
    constexpr CIMType wantType = cimTypeOf<Element>();
    if (!typeReadableAs(m_type, wantType) || m_isArray != wantArray) {
        mismatch(m_type, m_isArray, wantType, wantArray);
    }
    if (isNull()) {
        throw CIMValueError("value is null");
    }
    if constexpr (wantArray) {
        const auto& rep = std::get<std::shared_ptr<const CIMArrayRep>>(m_data);
        const auto& stored = std::get<std::vector<StoredElement<Element>>>(rep->elements);
        if constexpr (std::is_same_v<StoredElement<Element>, Element>) {
            return stored;
        } else {
            T result;
            result.reserve(stored.size());
            for (const auto& element : stored) {
                result.push_back(convertElement<Element>(element));
            }
            return result;
        }
    } else if constexpr (std::is_same_v<T, CIMObjectPath>) {
        return *std::get<std::shared_ptr<const CIMObjectPath>>(m_data);
    } else if constexpr (std::is_same_v<T, CIMInstance>) {
        return std::get<std::shared_ptr<const CIMObject>>(m_data)->getInstance();
    } else if constexpr (std::is_same_v<T, CIMObject>) {
        return *std::get<std::shared_ptr<const CIMObject>>(m_data);
    } else {
        return static_cast<T>(std::get<decltype(storedScalar(T{}))>(m_data));
    }
}

#define ORV_CIM_GET(T)                            \
    template T CIMValue::get<T>() const;          \
    template std::vector<T> CIMValue::get<std::vector<T>>() const;

ORV_CIM_GET(bool)
ORV_CIM_GET(uint8_t)
ORV_CIM_GET(int8_t)
ORV_CIM_GET(uint16_t)
ORV_CIM_GET(int16_t)
ORV_CIM_GET(uint32_t)
ORV_CIM_GET(int32_t)
ORV_CIM_GET(uint64_t)
ORV_CIM_GET(int64_t)
ORV_CIM_GET(float)
ORV_CIM_GET(double)
ORV_CIM_GET(char16_t)
ORV_CIM_GET(std::string)
ORV_CIM_GET(CIMDateTime)
ORV_CIM_GET(CIMObjectPath)
ORV_CIM_GET(CIMInstance)
ORV_CIM_GET(CIMObject)
#undef ORV_CIM_GET

bool operator==(const CIMValue& a, const CIMValue& b) {
    return a.m_type == b.m_type && a.m_isArray == b.m_isArray &&
           std::visit(StorageEqual{}, a.m_data, b.m_data);
}

std::ostream& operator<<(std::ostream& os, const CIMValue& value) { return os << value.toString(); }

} // namespace cim

namespace cim {
namespace {

[[noreturn]] void badText(CIMType type, std::string_view text) {
    throw CIMValueError("invalid " + std::string(cimTypeName(type)) + " value \"" +
                        std::string(text) + "\"");
}

template <typename T>
CIMValue unsignedFromText(CIMType type, std::string_view text) {
    const auto value = detail::readUnsigned(text, std::numeric_limits<T>::max());
    if (!value) {
        badText(type, text);
    }
    return CIMValue(static_cast<T>(*value));
}

template <typename T>
CIMValue signedFromText(CIMType type, std::string_view text) {
    const auto value =
        detail::readSigned(text, std::numeric_limits<T>::min(), std::numeric_limits<T>::max());
    if (!value) {
        badText(type, text);
    }
    return CIMValue(static_cast<T>(*value));
}

template <typename T>
CIMValue fromOptional(CIMType type, std::string_view text, const std::optional<T>& value) {
    if (!value) {
        badText(type, text);
    }
    return CIMValue(*value);
}

CIMValue char16FromText(std::string_view text) {
    char32_t codePoint = 0;
    const size_t length = text.empty() ? 0 : detail::decodeUtf8(text, 0, codePoint);
    if (length == 0 || length != text.size() || codePoint > 0xFFFF) {
        badText(CIMType::Char16, text);
    }
    return CIMValue(static_cast<char16_t>(codePoint));
}

CIMValue dateTimeFromText(std::string_view text) {
    return CIMValue(CIMDateTime(detail::trimXmlSpace(text)));
}

// Text of one stored scalar of the given type, embedded objects and references included.
struct ScalarText : detail::CIMPrimitiveText {
    using CIMPrimitiveText::operator();

    void operator()(std::monostate) const { out += "NULL"; }
    void operator()(const CIMObjectPath& value) const { out += value.toString(); }
    void operator()(const CIMObject& value) const {
        out += value.isInstance() ? "instance of " : "class ";
        out += value.getClassName().getString();
    }
    void operator()(const std::shared_ptr<const CIMObjectPath>& value) const { (*this)(*value); }
    void operator()(const std::shared_ptr<const CIMObject>& value) const { (*this)(*value); }
    void operator()(const std::shared_ptr<const detail::CIMArrayRep>& rep) const {
        out += '{';
        std::visit(
            [this, &rep](const auto& elements) {
                for (size_t i = 0; i < elements.size(); ++i) {
                    if (i > 0) {
                        out += ',';
                    }
                    if (i < rep->nulls.size() && rep->nulls[i]) {
                        out += "NULL";
                    } else {
                        (*this)(elements[i]);
                    }
                }
            },
            rep->elements);
        out += '}';
    }
};

} // namespace

CIMValue CIMValue::fromText(CIMType type, std::string_view text) {
    switch (type) {
    case CIMType::Boolean: return fromOptional(type, text, detail::readBoolean(text));
    case CIMType::Uint8: return unsignedFromText<uint8_t>(type, text);
    case CIMType::Sint8: return signedFromText<int8_t>(type, text);
    case CIMType::Uint16: return unsignedFromText<uint16_t>(type, text);
    case CIMType::Sint16: return signedFromText<int16_t>(type, text);
    case CIMType::Uint32: return unsignedFromText<uint32_t>(type, text);
    case CIMType::Sint32: return signedFromText<int32_t>(type, text);
    case CIMType::Uint64: return unsignedFromText<uint64_t>(type, text);
    case CIMType::Sint64: return signedFromText<int64_t>(type, text);
    case CIMType::Real32: return fromOptional(type, text, detail::readReal32(text));
    case CIMType::Real64: return fromOptional(type, text, detail::readReal64(text));
    case CIMType::Char16: return char16FromText(text);
    case CIMType::String: return CIMValue(std::string(text));
    case CIMType::DateTime: return dateTimeFromText(text);
    case CIMType::Reference: return CIMValue(CIMObjectPath::parse(detail::trimXmlSpace(text)));
    case CIMType::Object:
    case CIMType::Instance: break;
    }
    throw CIMValueError("embedded objects have no scalar text form");
}

std::string CIMValue::toString() const {
    std::string out;
    std::visit(ScalarText{{m_type, out}}, m_data);
    return out;
}

} // namespace cim
