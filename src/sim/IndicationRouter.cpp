#include "sim/IndicationRouter.h"

#include "sim/InstanceBuilder.h"
#include "sim/ListenerObjects.h"

#include "cim/value/CIMDateTime.h"

namespace Merrow::Sim {

namespace {

const cim::CIMValue* propertyOf(const cim::CIMInstance& instance, const char* name)
{
    const std::size_t index = instance.findProperty(name);
    if (index == cim::CIMPropertyContainer::npos)
        return nullptr;
    const cim::CIMValue& value = instance.getProperty(index).getValue();
    return value.isNull() || value.isArray() ? nullptr : &value;
}

std::string textOf(const cim::CIMInstance& instance, const char* name)
{
    const cim::CIMValue* value = propertyOf(instance, name);
    return value != nullptr && value->getType() == cim::CIMType::String ? value->get<std::string>() : std::string();
}

const StoredObject* referenced(const ModelView& view, const cim::CIMInstance& instance, const char* name)
{
    const cim::CIMValue* value = propertyOf(instance, name);
    if (value == nullptr || value->getType() != cim::CIMType::Reference)
        return nullptr;
    return view.storage.find(value->get<cim::CIMObjectPath>());
}

const char* indicationClassOf(ChangeKind kind)
{
    switch (kind) {
    case ChangeKind::Created:
        return "CIM_InstCreation";
    case ChangeKind::Modified:
        return "CIM_InstModification";
    case ChangeKind::Deleted:
        return "CIM_InstDeletion";
    }
    return "CIM_InstIndication";
}

} // namespace

IndicationRouter::IndicationRouter(IndicationSink& sink, std::string host, const SimulatorSettings& settings)
    : m_sink(sink), m_host(std::move(host)), m_settings(settings)
{
}

std::vector<IndicationRouter::Subscription> IndicationRouter::activeSubscriptions(const ModelView& view)
{
    std::vector<Subscription> subscriptions;
    const ClassInfo* cls = ClassRegistry::instance().find(Namespaces::Storage, "CIM_IndicationSubscription");
    for (const StoredObject* object : view.storage.enumerate(*cls)) {
        const cim::CIMInstance& subscription = *object->instance;
        // 2 is "Enabled"; a subscription that does not say counts as enabled.
        const cim::CIMValue* state = propertyOf(subscription, "SubscriptionState");
        if (state != nullptr && state->getType() == cim::CIMType::Uint16 && state->get<std::uint16_t>() != 2)
            continue;
        const StoredObject* filter = referenced(view, subscription, "Filter");
        const StoredObject* handler = referenced(view, subscription, "Handler");
        if (filter == nullptr || handler == nullptr)
            continue;
        const std::string text = textOf(*filter->instance, "Query");
        auto cached = m_queries.find(text);
        if (cached == m_queries.end())
            cached = m_queries.emplace(text, IndicationQuery::parse(text)).first;
        if (!cached->second)
            continue;
        Subscription entry{*cached->second, {}};
        entry.destination.destination = textOf(*handler->instance, "Destination");
        if (!ListenerObjects::parseDestination(entry.destination.destination, entry.destination.host,
                                               entry.destination.port, entry.destination.target))
            continue;
        subscriptions.push_back(std::move(entry));
    }
    return subscriptions;
}

std::shared_ptr<const cim::CIMInstance> IndicationRouter::indicationFor(const InstanceChange& change,
                                                                        const char* className)
{
    const auto& instance = change.instance();
    cim::CIMObjectPath source = instance->getPath();
    source.setHost(m_host);
    InstanceBuilder builder(className);
    builder.set("IndicationIdentifier", std::to_string(m_nextIdentifier++))
        .set("IndicationTime", cim::CIMValue(cim::CIMDateTime::now()))
        .set("SourceInstance", cim::CIMValue(*instance))
        .set("SourceInstanceModelPath", source.toString())
        .set("SourceInstanceHost", m_host);
    if (change.previous())
        builder.set("PreviousInstance", cim::CIMValue(*change.previous()));
    return std::make_shared<const cim::CIMInstance>(builder.build());
}

void IndicationRouter::onChanges(const ModelView& view, const std::vector<InstanceChange>& changes)
{
    const std::vector<Subscription> subscriptions = activeSubscriptions(view);
    if (subscriptions.empty())
        return;
    const ClassRegistry& registry = ClassRegistry::instance();
    for (const InstanceChange& change : changes) {
        const char* className = indicationClassOf(change.kind());
        const ClassInfo* indication = registry.find(Namespaces::Storage, className);
        const ClassInfo* source = registry.find(Namespaces::Storage, change.className());
        if (indication == nullptr || source == nullptr)
            continue;
        if (source->isAssociation() && change.kind() != ChangeKind::Modified && !m_settings.associationIndications)
            continue;
        std::shared_ptr<const cim::CIMInstance> built;
        for (const Subscription& subscription : subscriptions) {
            if (!subscription.query.matches(*indication, *source))
                continue;
            if (!built)
                built = indicationFor(change, className);
            IndicationDelivery delivery = subscription.destination;
            delivery.indication = built;
            m_sink.post(std::move(delivery));
        }
    }
}

} // namespace Merrow::Sim
