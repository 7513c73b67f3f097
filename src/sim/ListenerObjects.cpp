#include "sim/ListenerObjects.h"

#include "sim/CimJson.h"
#include "sim/IndicationQuery.h"

#include "cim/value/CIMException.h"
#include "cim/value/CIMKeyBinding.h"
#include "cim/value/CIMProperty.h"

#include <cstdio>

namespace Merrow::Sim {

namespace {

using cim::CIMException;
using cim::CIMStatusCode;

const ClassInfo& storageClass(const char* name)
{
    return *ClassRegistry::instance().find(Namespaces::Storage, name);
}

std::string stringProperty(const cim::CIMInstance& instance, const char* name)
{
    const std::size_t index = instance.findProperty(name);
    if (index == cim::CIMPropertyContainer::npos)
        return {};
    const cim::CIMValue& value = instance.getProperty(index).getValue();
    if (value.isNull() || value.isArray() || value.getType() != cim::CIMType::String)
        return {};
    return value.get<std::string>();
}

void setIfMissing(cim::CIMInstance& instance, const char* name, const std::string& value)
{
    if (stringProperty(instance, name).empty())
        instance.setPropertyValue(name, cim::CIMValue(value));
}

const StoredObject* referencedObject(const ModelView& view, const cim::CIMInstance& instance, const char* name)
{
    const std::size_t index = instance.findProperty(name);
    if (index == cim::CIMPropertyContainer::npos)
        return nullptr;
    const cim::CIMValue& value = instance.getProperty(index).getValue();
    if (value.isNull() || value.isArray() || value.getType() != cim::CIMType::Reference)
        return nullptr;
    return view.storage.find(value.get<cim::CIMObjectPath>());
}

std::string groupId(const StoredObject& object)
{
    return object.group.substr(object.group.find(':') + 1);
}

} // namespace

bool ListenerObjects::isListenerClass(const ClassInfo& cls)
{
    return cls.isA(storageClass("CIM_IndicationHandler")) || cls.isA(storageClass("CIM_IndicationFilter")) ||
           cls.isA(storageClass("CIM_IndicationSubscription"));
}

bool ListenerObjects::parseDestination(const std::string& url, std::string& host, std::uint16_t& port,
                                       std::string& target)
{
    const std::string scheme = "http://";
    if (url.compare(0, scheme.size(), scheme) != 0)
        return false;
    const std::size_t slash = url.find('/', scheme.size());
    const std::string authority = url.substr(scheme.size(), slash == std::string::npos ? std::string::npos : slash - scheme.size());
    target = slash == std::string::npos ? "/" : url.substr(slash);
    const std::size_t colon = authority.rfind(':');
    host = authority.substr(0, colon);
    port = 80;
    if (colon != std::string::npos) {
        unsigned value = 0;
        char tail = 0;
        if (std::sscanf(authority.c_str() + colon + 1, "%5u%c", &value, &tail) != 1 || value == 0 || value > 65535)
            return false;
        port = static_cast<std::uint16_t>(value);
    }
    return !host.empty();
}

void ListenerObjects::fillKeys(const ModelView& view, const ClassInfo& cls, cim::CIMInstance& instance)
{
    if (cls.isA(storageClass("CIM_IndicationSubscription")))
        return;
    setIfMissing(instance, "SystemCreationClassName", "CIM_ComputerSystem");
    setIfMissing(instance, "SystemName", view.names.systemName());
    setIfMissing(instance, "CreationClassName", cls.name);
}

void ListenerObjects::validate(const ModelView& view, const ClassInfo& cls, const cim::CIMInstance& instance)
{
    if (cls.isA(storageClass("CIM_IndicationSubscription"))) {
        if (referencedObject(view, instance, "Filter") == nullptr)
            throw CIMException(CIMStatusCode::InvalidParameter, "Filter does not name an indication filter");
        if (referencedObject(view, instance, "Handler") == nullptr)
            throw CIMException(CIMStatusCode::InvalidParameter, "Handler does not name an indication handler");
        return;
    }
    if (stringProperty(instance, "Name").empty())
        throw CIMException(CIMStatusCode::InvalidParameter, "Name is required");
    if (cls.isA(storageClass("CIM_IndicationFilter"))) {
        if (!IndicationQuery::languageSupported(stringProperty(instance, "QueryLanguage")))
            throw CIMException(CIMStatusCode::QueryLanguageNotSupported, "QueryLanguage must be WQL or DMTF:CQL");
        if (!IndicationQuery::parse(stringProperty(instance, "Query")))
            throw CIMException(CIMStatusCode::InvalidQuery,
                               "Query must read SELECT * FROM <indication class> [WHERE SourceInstance ISA <class>]");
        return;
    }
    std::string host;
    std::uint16_t port = 0;
    std::string target;
    if (!parseDestination(stringProperty(instance, "Destination"), host, port, target))
        throw CIMException(CIMStatusCode::InvalidParameter, "Destination must be an http:// URL");
}

cim::CIMObjectPath ListenerObjects::create(ModelTransaction& transaction, cim::CIMInstance instance)
{
    const ModelView& view = transaction.view();
    const ClassInfo* cls = ClassRegistry::instance().find(Namespaces::Storage, instance.getClassName().getString());
    if (cls == nullptr)
        throw CIMException(CIMStatusCode::InvalidClass, instance.getClassName().getString());
    if (!isListenerClass(*cls))
        throw CIMException(CIMStatusCode::NotSupported, "instances of " + cls->name + " cannot be created");
    // The class name a client sends keeps the case it was sent in; the table's is kept.
    instance.setClassName(cls->name);
    fillKeys(view, *cls, instance);
    validate(view, *cls, instance);

    std::vector<cim::CIMKeyBinding> keys;
    for (const std::string& key : cls->keys) {
        const std::size_t index = instance.findProperty(key);
        if (index == cim::CIMPropertyContainer::npos || instance.getProperty(index).getValue().isNull())
            throw CIMException(CIMStatusCode::InvalidParameter, "key " + key + " is required");
        keys.emplace_back(key, instance.getProperty(index).getValue());
    }
    cim::CIMObjectPath path("", Namespaces::Storage, cls->name, std::move(keys));
    if (view.storage.find(path) != nullptr)
        throw CIMException(CIMStatusCode::AlreadyExists, path.toString());
    // Two handlers or filters may not share a Name even on different systems: the
    // primary key alone identifies them.
    if (!cls->primaryKey.empty()) {
        const cim::CIMObjectPath byName("", Namespaces::Storage, cls->name,
                                        {cim::CIMKeyBinding(cls->primaryKey, instance.getPropertyValue(cls->primaryKey))});
        if (view.storage.find(byName) != nullptr)
            throw CIMException(CIMStatusCode::AlreadyExists, byName.toString());
    }

    const std::string id = transaction.state().allocateId(IdPrefix::ListenerObject);
    transaction.state().listenerObjects[id] = CimJson::instanceToJson(instance);
    transaction.touch(ModelProjection::group(GroupKind::Listener, id));
    return path;
}

void ListenerObjects::remove(ModelTransaction& transaction, const cim::CIMObjectPath& path)
{
    const ModelView& view = transaction.view();
    const StoredObject* object = view.storage.find(path);
    if (object == nullptr)
        throw CIMException(CIMStatusCode::NotFound, path.toString());
    if (!isListenerClass(*object->cls))
        throw CIMException(CIMStatusCode::NotSupported, "instances of " + object->cls->name + " cannot be deleted");
    if (!object->cls->isA(storageClass("CIM_IndicationSubscription"))) {
        for (const StoredObject* subscription : view.storage.enumerate(storageClass("CIM_IndicationSubscription"))) {
            if (referencedObject(view, *subscription->instance, "Filter") == object ||
                referencedObject(view, *subscription->instance, "Handler") == object)
                throw CIMException(CIMStatusCode::Failed, "a subscription still uses " + path.toString());
        }
    }
    const std::string id = groupId(*object);
    transaction.touch(object->group);
    transaction.state().listenerObjects.erase(id);
}

void ListenerObjects::replace(ModelTransaction& transaction, const StoredObject& object, const cim::CIMInstance& instance)
{
    validate(transaction.view(), *object.cls, instance);
    cim::CIMInstance stored = instance;
    stored.setPath({});
    transaction.state().listenerObjects[groupId(object)] = CimJson::instanceToJson(stored);
    transaction.touch(object.group);
}

} // namespace Merrow::Sim
