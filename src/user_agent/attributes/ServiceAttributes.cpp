#include "user_agent/attributes/ServiceAttributes.h"

#include "user_agent/attributes/ValueText.h"
#include "user_agent/attributes/ValueTraits.h"
#include "user_agent/base/MWExceptions.h"
#include "user_agent/base/MerrowUserAgentEnums.h"
#include "user_agent/base/StorageSize.h"
#include "user_agent/indications/MerrowService.h"

#include <any>
#include <exception>

namespace Merrow::UserAgent {
namespace {

using R = MerrowReturnValue;

constexpr const char* kKindWords[] = {"", "get", "set", "action"};
constexpr std::size_t kSecretMinimum = 12;
constexpr std::size_t kSecretMaximum = 16;

// Runs `body`, turning whatever it throws into a return value.
template <typename Body>
R guarded(Body&& body) {
    try {
        return body();
    } catch (const MWEDataConversionError& error) {
        return R(R::UA_E_DATACONVERSTIONERROR, error.getMessage());
    } catch (const MWExceptionAbstractClass& error) {
        return R(R::UA_E_UNEXPECTED, error.getMessage());
    } catch (const std::exception& error) {
        return R(R::UA_E_UNEXPECTED, error.what());
    } catch (...) {
        return R(R::UA_E_UNEXPECTED);
    }
}

std::string getFailureText(const std::string& name, const R& result) {
    return name + " Get() returned " + result.getMessage();
}

std::string typeText(const AttributeDescriptor& parameter) {
    const ValueTypeOps& ops = parameter.ops();
    std::string text = std::string("(") + ops.typeName + (ops.isList ? " list)" : ops.isObject ? " object)" : ")");
    const std::vector<std::string> choices = ops.choices();
    if (!choices.empty())
        text += " one of " + ValueText::joinList(choices);
    return text;
}

void appendParameterLines(const AttributeDescriptor& attribute, std::string& text) {
    for (const AttributeDescriptor& parameter : attribute.parameters())
        text += "\t" + parameter.name() + " - " + parameter.description() + " " + typeText(parameter) + "\n";
    if (attribute.kind() != AttributeDescriptor::kAction)
        return;
    for (const AttributeDescriptor& result : attribute.results())
        text += "\tReturns: " + result.name() + " - " + result.description() + " " + typeText(result) + "\n";
}

// A value whose text form cannot be made is reported, not thrown.
R textOf(const std::string& name, const AttributeValue& value, std::string& text) {
    try {
        text = value.toText();
        return R();
    } catch (const std::exception& error) {
        return R(R::UA_E_DATACONVERSTIONERROR, "Get(" + name + ") bad_lexical_cast (" + error.what() + ")");
    }
}

bool isSecret(const std::string& name) { return name == "Secret"; }

// Compositions that spread data over several disks need to be told how.
bool needsStripe(const UAEnums::VolumeCompositionName& composition) {
    return composition.getValue() == 2 || composition.getValue() == 4 || composition.getValue() == 5;
}

bool isByteCount(const AttributeDescriptor& parameter) {
    const std::string& name = parameter.name();
    return parameter.ops().typeId == kTypeInteger &&
           (name.find("Byte") != std::string::npos || name.find("Size") != std::string::npos);
}

AttributeValue convert(const AttributeDescriptor& parameter, const std::string& text,
                       const ValueContext& context) {
    std::any value;
    if (parameter.name() == "stripeDepth" && parameter.ops().typeId == kTypeInteger) {
        // Depths may be named as the array lists them ("64KB") or given in bytes.
        UAEnums::StripeDepth named;
        try {
            if (named.set(text)) {
                parameter.ops().fromText(std::to_string(named.getValue()), context, value);
                return AttributeValue(std::move(value), parameter.ops());
            }
        } catch (const MWEDataConversionError&) {
            // not a name: a byte count
        }
    }
    if (isByteCount(parameter)) {
        // Byte counts may carry a unit ("1.5 GB"); a plain number is bytes.
        parameter.ops().fromText(std::to_string(StorageSize(text).bytes()), context, value);
        return AttributeValue(std::move(value), parameter.ops());
    }
    parameter.ops().fromText(text, context, value);
    return AttributeValue(std::move(value), parameter.ops());
}

// The value an omitted trailing argument takes.
AttributeValue omitted(const AttributeDescriptor& parameter) {
    std::any value;
    if (parameter.name() == "stripeWidth")
        parameter.ops().fromText("1", {}, value);
    else if (parameter.name() == "stripeDepth")
        parameter.ops().fromText(std::to_string(ServiceAttributes::kDefaultStripeDepth), {}, value);
    else
        return parameter.prototype();
    return AttributeValue(std::move(value), parameter.ops());
}

R checkStripeArguments(const AttributeDescriptor& action, const std::vector<AttributeValue>& given) {
    const std::size_t composition = action.parameterIndex("compositionName");
    const std::size_t width = action.parameterIndex("stripeWidth");
    const std::size_t depth = action.parameterIndex("stripeDepth");
    if (composition >= given.size() || width == action.parameters().size() ||
        depth == action.parameters().size())
        return R();
    const auto* name = std::any_cast<UAEnums::VolumeCompositionName>(&given[composition].value());
    if (name == nullptr || !needsStripe(*name))
        return R();
    if (given.size() <= width)
        return R(R::UA_E_INVALIDARG, std::string(name->c_str()) + " requires specifying stripeWidth");
    if (given.size() <= depth)
        return R(R::UA_E_INVALIDARG, std::string(name->c_str()) + " requires selecting stripeDepth");
    return R();
}

} // namespace

R ServiceAttributes::RegistryOf(const MerrowService& service, const AttributeRegistry*& registry) {
    registry = service.IsValid() ? AttributeRegistry::Find(service.GetTypeName()) : nullptr;
    return registry ? R() : R(R::UA_E_SERVICE_INVALID);
}

R ServiceAttributes::Find(const MerrowService& service, std::int32_t kind, const std::string& name,
                          const AttributeDescriptor*& attribute) {
    return guarded([&] {
        const AttributeRegistry* registry = nullptr;
        R result = RegistryOf(service, registry);
        if (result.isFailure())
            return result;
        attribute = registry->find(kind, name);
        if (attribute == nullptr)
            return R(R::UA_E_INVALIDARG, service.GetTypeName() + " has no " + kKindWords[kind] +
                                             " attribute '" + name + "'");
        return R();
    });
}

R ServiceAttributes::Help(const std::string& typeName, std::string& text) {
    return guarded([&] {
        const AttributeRegistry* registry = AttributeRegistry::Find(typeName);
        if (registry == nullptr)
            return R(R::UA_E_INVALIDARG, "No service class '" + typeName + "'");
        text.clear();
        for (const AttributeDescriptor& attribute : registry->attributes()) {
            text += attribute.name() + " (" + kKindWords[attribute.kind()] + ") - " + attribute.description() + "\n";
            appendParameterLines(attribute, text);
        }
        return R();
    });
}

R ServiceAttributes::GetValue(const MerrowService& service, const std::string& name, AttributeValue& value) {
    return guarded([&] {
        const AttributeDescriptor* attribute = nullptr;
        R result = Find(service, AttributeDescriptor::kReadable, name, attribute);
        if (result.isFailure())
            return result;
        std::vector<AttributeValue> results;
        result = attribute->invoke(service, {}, results);
        if (result.isFailure())
            return R(result.getCode(), getFailureText(attribute->name(), result));
        value = results.empty() ? AttributeValue() : results.front();
        return result;
    });
}

R ServiceAttributes::Get(const MerrowService& service, const std::string& name, std::string& text) {
    AttributeValue value;
    const R result = GetValue(service, name, value);
    if (result.isFailure())
        return result;
    const R converted = textOf(name, value, text);
    return converted.isFailure() ? converted : result;
}

R ServiceAttributes::Show(const MerrowService& service, AttributeSummary& summary) {
    return guarded([&] {
        const AttributeRegistry* registry = nullptr;
        const R result = RegistryOf(service, registry);
        if (result.isFailure())
            return result;
        for (const AttributeDescriptor& attribute : registry->attributes()) {
            if (attribute.kind() != AttributeDescriptor::kReadable)
                continue;
            AttributeSummary::Pair pair{attribute.name(), attribute.ops().typeName, {}, {}, attribute.ops().isList, false};
            AttributeValue value;
            R got = GetValue(service, attribute.name(), value);
            if (!got.isFailure())
                got = textOf(attribute.name(), value, pair.value);
            if (got.isFailure()) {
                pair.value = got.getMessage();
                pair.failed = true;
            } else {
                pair.items = value.itemTexts();
            }
            summary.add(std::move(pair));
        }
        return R();
    });
}

R ServiceAttributes::Set(const MerrowService& service, const std::string& name, const std::string& text,
                         const ValueContext& context) {
    return guarded([&] {
        const AttributeDescriptor* attribute = nullptr;
        R result = Find(service, AttributeDescriptor::kWritable, name, attribute);
        if (result.isFailure())
            return result;
        std::vector<AttributeValue> inputs(1);
        result = PrepareValue(*attribute, text, context, inputs[0]);
        if (result.isFailure())
            return result;
        std::vector<AttributeValue> results;
        return attribute->invoke(service, inputs, results);
    });
}

R ServiceAttributes::PrepareValue(const AttributeDescriptor& setter, const std::string& text,
                                  const ValueContext& context, AttributeValue& value) {
    return guarded([&] {
        if (isSecret(setter.name()) && !text.empty() &&
            (text.size() < kSecretMinimum || text.size() > kSecretMaximum))
            return R(R::UA_E_INVALIDARG, "Secret must be 12-16 chars in length");
        if (setter.parameters().size() != 1)
            return R(R::UA_E_INVALIDARG, setter.argumentCountMessage());
        const AttributeDescriptor& parameter = setter.parameters().front();
        if (parameter.ops().isObject && !context.resolveObjects) {
            value = parameter.prototype();
            return R();
        }
        try {
            value = convert(parameter, text, context);
        } catch (const MWEDataConversionError& error) {
            return R(R::UA_E_DATACONVERSTIONERROR, setter.name() + ": " + error.getMessage());
        }
        return R();
    });
}

R ServiceAttributes::PrepareArguments(const AttributeDescriptor& action,
                                      const std::vector<std::string>& arguments,
                                      const ValueContext& context, std::vector<AttributeValue>& inputs) {
    return guarded([&] {
        const std::vector<AttributeDescriptor>& parameters = action.parameters();
        if (arguments.size() < action.minimumArguments() || arguments.size() > parameters.size())
            return R(R::UA_E_INVALIDARG, action.argumentCountMessage());
        // Plain values first and the stripe rules on them, so that a refusal comes before
        // any object named in the arguments is looked up on the array.
        inputs.assign(arguments.size(), AttributeValue());
        for (const bool objects : {false, true}) {
            for (std::size_t i = 0; i < arguments.size(); ++i) {
                if (parameters[i].ops().isObject != objects)
                    continue;
                if (objects && !context.resolveObjects) {
                    inputs[i] = parameters[i].prototype();
                    continue;
                }
                try {
                    inputs[i] = convert(parameters[i], arguments[i], context);
                } catch (const MWEDataConversionError& error) {
                    return R(R::UA_E_DATACONVERSTIONERROR, parameters[i].name() + ": " + error.getMessage());
                }
            }
            if (!objects) {
                const R stripe = checkStripeArguments(action, inputs);
                if (stripe.isFailure())
                    return stripe;
            }
        }
        for (std::size_t i = arguments.size(); i < parameters.size(); ++i)
            inputs.push_back(omitted(parameters[i]));
        return R();
    });
}

R ServiceAttributes::Invoke(const MerrowService& service, const std::string& name,
                            const std::vector<std::string>& arguments, const ValueContext& context,
                            std::vector<AttributeValue>& results) {
    return guarded([&] {
        const AttributeDescriptor* action = nullptr;
        R result = Find(service, AttributeDescriptor::kAction, name, action);
        if (result.isFailure())
            return result;
        std::vector<AttributeValue> inputs;
        result = PrepareArguments(*action, arguments, context, inputs);
        if (result.isFailure())
            return result;
        return action->invoke(service, inputs, results);
    });
}

} // namespace Merrow::UserAgent
