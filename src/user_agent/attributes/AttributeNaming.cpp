#include "user_agent/attributes/AttributeNaming.h"

#include "user_agent/attributes/AttributeDescriptor.h"

#include <cctype>

namespace Merrow::UserAgent {
namespace {

bool startsWith(const std::string& text, const char* prefix) {
    return text.rfind(prefix, 0) == 0;
}

std::string withoutPrefix(const std::string& text, const char* prefix) {
    return startsWith(text, prefix) ? text.substr(std::string(prefix).size()) : text;
}

} // namespace

std::int32_t AttributeNaming::Kind(EntryForm form, const std::string& operation,
                                   std::size_t inputs, std::size_t results) {
    if (form == EntryForm::Getter)
        return AttributeDescriptor::kReadable;
    if (form == EntryForm::Setter)
        return AttributeDescriptor::kWritable;
    if (inputs == 0 && results == 1 && (startsWith(operation, "Get") || startsWith(operation, "Is")))
        return AttributeDescriptor::kReadable;
    if (inputs == 1 && results == 0 && startsWith(operation, "Set") && operation.size() > 3)
        return AttributeDescriptor::kWritable;
    return AttributeDescriptor::kAction;
}

std::string AttributeNaming::Name(std::int32_t kind, const std::string& operation) {
    if (kind == AttributeDescriptor::kReadable)
        return withoutPrefix(withoutPrefix(operation, "GetService"), "Get");
    if (kind == AttributeDescriptor::kWritable)
        return withoutPrefix(operation, "Set");
    return operation;
}

std::string AttributeNaming::LowerFirst(std::string name) {
    if (!name.empty())
        name[0] = static_cast<char>(std::tolower(static_cast<unsigned char>(name[0])));
    return name;
}

} // namespace Merrow::UserAgent
