#pragma once

// Builds an attribute descriptor from a facade operation's member-function pointer: the
// parameter types come from the pointer's type (a non-const lvalue reference is a result,
// everything else an argument), the names from the table entry's stringified argument list.
// Used by AttributeRegistryDefinitions.inc only.

#include "user_agent/attributes/AttributeDescriptor.h"
#include "user_agent/attributes/AttributeNaming.h"
#include "user_agent/attributes/AttributeTexts.h"
#include "user_agent/attributes/ValueText.h"
#include "user_agent/attributes/ValueTraits.h"

#include <any>
#include <string>
#include <tuple>
#include <type_traits>
#include <utility>
#include <vector>

namespace Merrow::UserAgent::AttributeBuilding {

template <typename P>
inline constexpr bool kIsResult =
    std::is_lvalue_reference_v<P> && !std::is_const_v<std::remove_reference_t<P>>;

template <typename P>
using ValueOf = std::remove_cvref_t<P>;

template <typename... P>
constexpr std::size_t resultCount() {
    return (std::size_t{0} + ... + (kIsResult<P> ? 1 : 0));
}

// Names and describes one parameter or result.
template <typename P>
AttributeDescriptor describeParameter(const std::string& name, const std::string& description) {
    const ValueTypeOps& ops = valueTypeOps<ValueOf<P>>();
    const std::int32_t kind =
        ops.isObject ? AttributeDescriptor::kObjectParameter : AttributeDescriptor::kPlainParameter;
    return AttributeDescriptor(kind, name, ops, AttributeValue(ValueOf<P>(), ops), description);
}

// Calls `function` on the handle with the arguments taken from `inputs` in order and the
// results appended to `results`.
template <typename Handle, typename... P, std::size_t... I>
MerrowReturnValue call(const Handle& handle, MerrowReturnValue (Handle::*function)(P...) const,
                       const std::vector<AttributeValue>& inputs,
                       std::vector<AttributeValue>& results, std::index_sequence<I...>) {
    std::tuple<ValueOf<P>...> values;
    [[maybe_unused]] std::size_t next = 0;
    (
        [&] {
            if constexpr (!kIsResult<P>)
                std::get<I>(values) = std::any_cast<const ValueOf<P>&>(inputs[next++].value());
        }(),
        ...);
    const MerrowReturnValue result = (handle.*function)(std::get<I>(values)...);
    if (!result.isFailure())
        (
            [&] {
                if constexpr (kIsResult<P>)
                    results.emplace_back(std::get<I>(values), valueTypeOps<ValueOf<P>>());
            }(),
            ...);
    return result;
}

template <typename Handle>
using HandleFromService = Handle (*)(const MerrowService& service);

template <typename Handle, typename... P>
AttributeDescriptor describeOperation(EntryForm form, const std::string& operation,
                                      const char* argumentNames,
                                      MerrowReturnValue (Handle::*function)(P...) const,
                                      const AttributeTexts& texts,
                                      HandleFromService<Handle> toHandle) {
    constexpr std::size_t results = resultCount<P...>();
    constexpr std::size_t inputs = sizeof...(P) - results;
    const std::int32_t kind = AttributeNaming::Kind(form, operation, inputs, results);
    const std::string renamed = texts.attributeName(operation);
    const std::string name = renamed.empty() ? AttributeNaming::Name(kind, operation) : renamed;
    const std::string description = texts.attributeText(operation);

    std::vector<std::string> names = ValueText::splitArgumentNames(argumentNames);
    if (names.size() != sizeof...(P)) // getters and setters list no names: one value each
        names.assign(sizeof...(P), AttributeNaming::LowerFirst(name));
    [[maybe_unused]] auto textOf = [&](const std::string& parameter) {
        const std::string text = texts.parameterText(operation, parameter);
        // A property's one value is what the property's own text describes.
        return text.empty() && kind != AttributeDescriptor::kAction ? description : text;
    };
    std::vector<AttributeDescriptor> parameters;
    std::vector<AttributeDescriptor> resultDescriptors;
    [[maybe_unused]] std::size_t position = 0;
    (
        [&] {
            const std::string& parameter = names[position++];
            (kIsResult<P> ? resultDescriptors : parameters)
                .push_back(describeParameter<P>(parameter, textOf(parameter)));
        }(),
        ...);

    const ValueTypeOps& ops = !resultDescriptors.empty() ? resultDescriptors.front().ops()
                              : !parameters.empty()      ? parameters.front().ops()
                                                         : valueTypeOps<void*>();
    AttributeValue prototype = !resultDescriptors.empty() ? resultDescriptors.front().prototype()
                               : !parameters.empty()      ? parameters.front().prototype()
                                                          : AttributeValue();
    AttributeDescriptor descriptor(
        kind, name, operation, ops, std::move(prototype), description, std::move(parameters),
        std::move(resultDescriptors),
        [function, toHandle](const MerrowService& service, const std::vector<AttributeValue>& in,
                             std::vector<AttributeValue>& out) {
            return call(toHandle(service), function, in, out, std::index_sequence_for<P...>());
        });
    if (const OptionalArgumentsEntry* optional = texts.optionalArguments(operation))
        descriptor.allowOmittedArguments(optional->minimum, optional->message);
    return descriptor;
}

} // namespace Merrow::UserAgent::AttributeBuilding
