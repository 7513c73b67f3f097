#include "cim/xml/CIMIntrinsicParams.h"

#include <array>
#include <string_view>
#include <utility>

#include "cim/value/CIMTextRules.h"

namespace cim::detail {
namespace {

constexpr std::array<std::pair<std::string_view, IParamForm>, 12> kForms{{
    {"ClassName", IParamForm::ClassName},
    {"AssocClass", IParamForm::ClassName},
    {"ResultClass", IParamForm::ClassName},
    {"InstanceName", IParamForm::InstanceName},
    {"ObjectName", IParamForm::ObjectName},
    {"NewInstance", IParamForm::Instance},
    {"ModifiedInstance", IParamForm::NamedInstance},
    {"LocalOnly", IParamForm::Boolean},
    {"DeepInheritance", IParamForm::Boolean},
    {"IncludeQualifiers", IParamForm::Boolean},
    {"IncludeClassOrigin", IParamForm::Boolean},
    {"ContinueOnError", IParamForm::Boolean},
}};

} // namespace

IParamForm intrinsicParamForm(const CIMName& name) noexcept {
    for (const auto& [candidate, form] : kForms) {
        if (equalNoCase(candidate, name.getString())) {
            return form;
        }
    }
    return IParamForm::Generic;
}

} // namespace cim::detail
