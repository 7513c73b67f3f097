#pragma once

#include <cstdint>
#include <iosfwd>
#include <span>
#include <string>
#include <vector>

namespace Merrow::UserAgent {

// How the VDS layer should judge an enumeration value.
enum class EnumSeverity : std::uint8_t { Normal = 0, Error = 1, Warning = 2, Undetermined = 3 };

// One value of an enumeration. A row that is not settable is shown when the array reports it
// but is never chosen when setting from text or from a CIM number.
struct EnumRow {
    std::int32_t value;
    bool settable;
    const char* text;
    std::int32_t cimValue;
    EnumSeverity severity;
};

// Base of the enumeration classes in UAEnums. Each derived class supplies one table of rows,
// searched in table order; the base implements every operation over that table. The base's
// own table is empty, so a plain EnumBase behaves as a value missing from its table: an error
// of undetermined kind, shown as "_ERROR_".
class EnumBase {
public:
    explicit EnumBase(std::int32_t value = 0);
    virtual ~EnumBase();
    EnumBase(const EnumBase&) = default;
    EnumBase& operator=(const EnumBase&) = default;

    // Case-insensitive match of a settable row's display text, exact or a unique prefix.
    // Surrounding white space is ignored; empty text returns false and changes nothing.
    // No match or an ambiguous prefix throws MWEDataConversionError.
    virtual bool set(const std::string& text);
    virtual void toString(std::string& out) const;
    // The display text, "_ERROR_" for a value missing from the table.
    virtual const char* c_str() const;

    std::int32_t getValue() const { return m_value; }
    void setValue(std::int32_t value) { m_value = value; }
    std::string toString() const;
    std::int64_t toCIM64() const { return toCIM(); }
    // The enumeration's class name as used in messages, e.g. "DiskState".
    virtual const char* enumName() const;

    virtual bool isNormal() const;
    virtual bool isError() const;
    virtual bool isWarning() const;
    virtual bool isUnknown() const;

    // The first settable row with that CIM number; none returns false and changes nothing.
    virtual bool setFromCIM(std::int32_t cimValue);
    // 0 for a value missing from the table.
    virtual std::int32_t toCIM() const;
    // Display texts of the settable rows in table order, e.g. for help texts.
    virtual std::vector<std::string> getSettableTexts() const;

protected:
    virtual std::span<const EnumRow> rows() const;

private:
    const EnumRow* currentRow() const;
    bool hasSeverity(EnumSeverity severity, bool whenMissing) const;

    std::int32_t m_value;
};

// The display text and, for a value that is not normal, the applicable words among UNKNOWN,
// ERROR and WARNING: "Failed (ERROR)", "_ERROR_ (UNKNOWN,ERROR)".
std::ostream& operator<<(std::ostream& out, const EnumBase& value);

} // namespace Merrow::UserAgent
