#include "user_agent/base/EnumBase.h"

#include "user_agent/base/MWExceptions.h"
#include "user_agent/base/TextUtil.h"

#include <initializer_list>
#include <ostream>
#include <utility>

namespace Merrow::UserAgent {

namespace {

constexpr char kMissingText[] = "_ERROR_";

bool matchesExactly(const EnumRow& row, const std::string& upperText) {
    return row.settable && TextUtil::toUpper(row.text) == upperText;
}

bool matchesPrefix(const EnumRow& row, const std::string& upperText) {
    return row.settable && TextUtil::toUpper(row.text).starts_with(upperText);
}

} // namespace

EnumBase::EnumBase(std::int32_t value) : m_value(value) {}

EnumBase::~EnumBase() = default;

bool EnumBase::set(const std::string& text) {
    const std::string wanted = TextUtil::toUpper(TextUtil::trim(text));
    if (wanted.empty())
        return false;
    for (const EnumRow& row : rows()) {
        if (matchesExactly(row, wanted)) {
            m_value = row.value;
            return true;
        }
    }
    const EnumRow* candidate = nullptr;
    int candidates = 0;
    for (const EnumRow& row : rows()) {
        if (matchesPrefix(row, wanted)) {
            candidate = &row;
            ++candidates;
        }
    }
    if (candidates != 1) {
        const std::string name = enumName();
        throw MWEDataConversionError("Invalid " + name + " value: '" + text + "'", __FILE__,
                                     __LINE__, "Merrow::UserAgent::UAEnums::" + name + "::set");
    }
    m_value = candidate->value;
    return true;
}

void EnumBase::toString(std::string& out) const {
    out = c_str();
}

std::string EnumBase::toString() const {
    return c_str();
}

const char* EnumBase::c_str() const {
    const EnumRow* row = currentRow();
    return row ? row->text : kMissingText;
}

const char* EnumBase::enumName() const {
    return "EnumBase";
}

bool EnumBase::isNormal() const {
    return hasSeverity(EnumSeverity::Normal, false);
}

bool EnumBase::isError() const {
    return hasSeverity(EnumSeverity::Error, true);
}

bool EnumBase::isWarning() const {
    return hasSeverity(EnumSeverity::Warning, false);
}

bool EnumBase::isUnknown() const {
    return hasSeverity(EnumSeverity::Undetermined, true);
}

bool EnumBase::setFromCIM(std::int32_t cimValue) {
    for (const EnumRow& row : rows()) {
        if (row.settable && row.cimValue == cimValue) {
            m_value = row.value;
            return true;
        }
    }
    return false;
}

std::int32_t EnumBase::toCIM() const {
    const EnumRow* row = currentRow();
    return row ? row->cimValue : 0;
}

std::vector<std::string> EnumBase::getSettableTexts() const {
    std::vector<std::string> texts;
    for (const EnumRow& row : rows()) {
        if (row.settable)
            texts.emplace_back(row.text);
    }
    return texts;
}

std::span<const EnumRow> EnumBase::rows() const {
    return {};
}

const EnumRow* EnumBase::currentRow() const {
    for (const EnumRow& row : rows()) {
        if (row.value == m_value)
            return &row;
    }
    return nullptr;
}

bool EnumBase::hasSeverity(EnumSeverity severity, bool whenMissing) const {
    const EnumRow* row = currentRow();
    return row ? row->severity == severity : whenMissing;
}

std::ostream& operator<<(std::ostream& out, const EnumBase& value) {
    out << value.c_str();
    if (value.isNormal())
        return out;
    const char* separator = "";
    out << " (";
    for (const auto& [applies, word] :
         {std::pair{value.isUnknown(), "UNKNOWN"}, std::pair{value.isError(), "ERROR"},
          std::pair{value.isWarning(), "WARNING"}}) {
        if (applies) {
            out << separator << word;
            separator = ",";
        }
    }
    return out << ")";
}

} // namespace Merrow::UserAgent
