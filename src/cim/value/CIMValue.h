// CIMValue: a typed CIM value, scalar or array, possibly null.
#pragma once

#include <cstdint>
#include <iosfwd>
#include <memory>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "cim/value/CIMDateTime.h"
#include "cim/value/CIMObjectPath.h"
#include "cim/value/CIMType.h"

namespace cim {

class CIMInstance;
class CIMObject;

namespace detail {
struct CIMArrayRep;
class CIMValueAccess;
} // namespace detail

/// A CIM value: a type, scalar or array, and either null or the data.
///
/// Every CIM type has a constructor taking the matching C++ type (and one taking a
/// std::vector of it for arrays):
///
///   boolean bool        uint8  uint8_t    sint8  int8_t     uint16 uint16_t
///   sint16  int16_t     uint32 uint32_t   sint32 int32_t    uint64 uint64_t
///   sint64  int64_t     real32 float      real64 double     char16 char16_t
///   string  std::string (also const char*)                  datetime CIMDateTime
///   reference CIMObjectPath   instance CIMInstance   object CIMObject
///
/// get<T>() reads the value back with the same C++ types (std::vector<T> for arrays); it
/// throws CIMValueError when the value is null or has another type. get<CIMInstance>()
/// also reads an Object value that holds an instance, get<CIMObject>() an Instance value.
///
/// Arrays may have null elements (CIM-XML VALUE.NULL): isElementNull(i) tells them apart;
/// get<std::vector<T>>() gives them as T{}. Values are immutable apart from assignment and
/// setNullElements; copies of arrays, paths and embedded objects share their data.
class CIMValue {
public:
    /// A null string.
    CIMValue();
    /// A null value of the given type.
    CIMValue(CIMType type, bool isArray);

    CIMValue(bool value);
    CIMValue(uint8_t value);
    CIMValue(int8_t value);
    CIMValue(uint16_t value);
    CIMValue(int16_t value);
    CIMValue(uint32_t value);
    CIMValue(int32_t value);
    CIMValue(uint64_t value);
    CIMValue(int64_t value);
    CIMValue(float value);
    CIMValue(double value);
    CIMValue(char16_t value);
    CIMValue(const char* value);
    CIMValue(std::string value);
    CIMValue(CIMDateTime value);
    CIMValue(CIMObjectPath value);
    CIMValue(CIMInstance value);
    CIMValue(CIMObject value);

    CIMValue(std::vector<bool> value);
    CIMValue(std::vector<uint8_t> value);
    CIMValue(std::vector<int8_t> value);
    CIMValue(std::vector<uint16_t> value);
    CIMValue(std::vector<int16_t> value);
    CIMValue(std::vector<uint32_t> value);
    CIMValue(std::vector<int32_t> value);
    CIMValue(std::vector<uint64_t> value);
    CIMValue(std::vector<int64_t> value);
    CIMValue(std::vector<float> value);
    CIMValue(std::vector<double> value);
    CIMValue(std::vector<char16_t> value);
    CIMValue(std::vector<std::string> value);
    CIMValue(std::vector<CIMDateTime> value);
    CIMValue(std::vector<CIMObjectPath> value);
    CIMValue(std::vector<CIMInstance> value);
    CIMValue(std::vector<CIMObject> value);

    CIMValue(const CIMValue&);
    CIMValue(CIMValue&&) noexcept;
    CIMValue& operator=(const CIMValue&);
    CIMValue& operator=(CIMValue&&) noexcept;
    ~CIMValue();

    CIMType getType() const noexcept { return m_type; }
    bool isArray() const noexcept { return m_isArray; }
    bool isNull() const noexcept { return m_data.index() == 0; }
    /// Elements of a non-null array (0 for scalars and null arrays).
    size_t getArraySize() const noexcept;
    /// True when element `index` of an array is VALUE.NULL.
    bool isElementNull(size_t index) const noexcept;
    /// Marks array elements as null (mask[i] true); the mask must have one entry per
    /// element. Throws CIMValueError for scalars, null arrays and a wrong mask size.
    void setNullElements(std::vector<bool> mask);

    template <typename T>
    T get() const;

    /// The value of a scalar `type` read from its CIM-XML text: integers in decimal or
    /// "0x" hexadecimal, reals including "INF", "-INF" and "NaN", booleans "TRUE"/"FALSE",
    /// a char16 as one character, datetimes, references in object path text form, strings
    /// as they are. Throws CIMValueError for text that is not a value of the type and for
    /// embedded object types.
    static CIMValue fromText(CIMType type, std::string_view text);

    /// Text for people: scalars as CIM-XML writes them, references as path text, embedded
    /// objects as "instance of <class>", arrays as "{a,b,...}", null as "NULL".
    std::string toString() const;

    /// Same type, arrayness, nullness and data. Reals compare by value with NaN equal to
    /// NaN; references compare with CIMObjectPath::identical.
    friend bool operator==(const CIMValue& a, const CIMValue& b);

private:
    friend class detail::CIMValueAccess;

    using Storage = std::variant<std::monostate, bool, uint64_t, int64_t, double, std::string,
                                 CIMDateTime, std::shared_ptr<const CIMObjectPath>,
                                 std::shared_ptr<const CIMObject>,
                                 std::shared_ptr<const detail::CIMArrayRep>>;

    CIMValue(CIMType type, bool isArray, Storage data);

    CIMType m_type = CIMType::String;
    bool m_isArray = false;
    Storage m_data;
};

std::ostream& operator<<(std::ostream& os, const CIMValue& value);

} // namespace cim
