#include "sim/OperationDispatcher.h"

#include "sim/ClassDescription.h"
#include "sim/EventLog.h"
#include "sim/InstanceModifier.h"
#include "sim/ListenerObjects.h"
#include "sim/MethodTable.h"
#include "sim/ParameterCoercion.h"

#include "cim/value/CIMException.h"
#include "cim/value/CIMPropertyList.h"
#include "cim/xml/CIMXmlCodec.h"
#include "cim/xml/CIMXmlEncoder.h"
#include "cim/xml/CIMXmlError.h"
#include "cim/xml/CIMXmlWriter.h"
#include "cim/http/HugePageAdvice.h"

#include "trace/Trace.h"

#include <strings.h>

namespace Merrow::Sim {

namespace {

using cim::CIMException;
using cim::CIMStatusCode;

struct OperationInfo {
    const char* name;
    std::vector<const char*> parameters;
    const char* required;
};

const std::vector<OperationInfo>& operations()
{
    static const std::vector<OperationInfo> table{
        {"GetInstance", {"InstanceName", "LocalOnly", "IncludeQualifiers", "IncludeClassOrigin", "PropertyList"},
         "InstanceName"},
        {"EnumerateInstances",
         {"ClassName", "LocalOnly", "DeepInheritance", "IncludeQualifiers", "IncludeClassOrigin", "PropertyList"},
         "ClassName"},
        {"EnumerateInstanceNames", {"ClassName"}, "ClassName"},
        {"Associators",
         {"ObjectName", "AssocClass", "ResultClass", "Role", "ResultRole", "IncludeQualifiers", "IncludeClassOrigin",
          "PropertyList"},
         "ObjectName"},
        {"AssociatorNames", {"ObjectName", "AssocClass", "ResultClass", "Role", "ResultRole"}, "ObjectName"},
        {"References", {"ObjectName", "ResultClass", "Role", "IncludeQualifiers", "IncludeClassOrigin", "PropertyList"},
         "ObjectName"},
        {"ReferenceNames", {"ObjectName", "ResultClass", "Role"}, "ObjectName"},
        {"ModifyInstance", {"ModifiedInstance", "IncludeQualifiers", "PropertyList"}, "ModifiedInstance"},
        {"CreateInstance", {"NewInstance"}, "NewInstance"},
        {"DeleteInstance", {"InstanceName"}, "InstanceName"},
        {"GetClass", {"ClassName", "LocalOnly", "IncludeQualifiers", "IncludeClassOrigin", "PropertyList"}, "ClassName"},
        {"EnumerateClassNames", {"ClassName", "DeepInheritance"}, nullptr},
    };
    return table;
}

bool same(const std::string& a, const char* b)
{
    return ::strcasecmp(a.c_str(), b) == 0;
}

const OperationInfo* operationNamed(const std::string& name)
{
    for (const OperationInfo& info : operations()) {
        if (same(name, info.name))
            return &info;
    }
    return nullptr;
}

void checkParameters(const cim::CIMRequest& request, const OperationInfo& info)
{
    for (const cim::CIMParamValue& parameter : request.params) {
        const bool known = std::any_of(info.parameters.begin(), info.parameters.end(), [&](const char* name) {
            return same(parameter.getParameterName().getString(), name);
        });
        if (!known)
            throw CIMException(CIMStatusCode::InvalidParameter,
                               parameter.getParameterName().getString() + " is not a parameter of " + info.name);
    }
    if (info.required == nullptr)
        return;
    const cim::CIMParamValue* required = request.findParam(info.required);
    if (required == nullptr || required->getValue().isNull())
        throw CIMException(CIMStatusCode::InvalidParameter, std::string(info.required) + " is required");
}

const cim::CIMValue* parameter(const cim::CIMRequest& request, const char* name)
{
    const cim::CIMParamValue* found = request.findParam(name);
    return found == nullptr || found->getValue().isNull() ? nullptr : &found->getValue();
}

// A class name parameter: decoded as a string, or as a class path from some clients.
std::string classNameParameter(const cim::CIMRequest& request, const char* name)
{
    const cim::CIMValue* value = parameter(request, name);
    if (value == nullptr)
        return {};
    if (value->getType() == cim::CIMType::Reference && !value->isArray())
        return value->get<cim::CIMObjectPath>().getClassName().getString();
    if (value->getType() != cim::CIMType::String || value->isArray())
        throw CIMException(CIMStatusCode::InvalidParameter, std::string(name) + " must be a class name");
    return value->get<std::string>();
}

cim::CIMObjectPath pathParameter(const cim::CIMRequest& request, const char* name)
{
    const cim::CIMValue* value = parameter(request, name);
    if (value == nullptr || value->getType() != cim::CIMType::Reference || value->isArray())
        throw CIMException(CIMStatusCode::InvalidParameter, std::string(name) + " must be an object path");
    return value->get<cim::CIMObjectPath>();
}

std::string textParameter(const cim::CIMRequest& request, const char* name)
{
    const cim::CIMValue* value = parameter(request, name);
    if (value == nullptr)
        return {};
    if (value->getType() != cim::CIMType::String || value->isArray())
        throw CIMException(CIMStatusCode::InvalidParameter, std::string(name) + " must be a string");
    return value->get<std::string>();
}

cim::CIMPropertyList propertyList(const cim::CIMRequest& request)
{
    const cim::CIMValue* value = parameter(request, "PropertyList");
    if (value == nullptr)
        return {};
    try {
        return cim::CIMPropertyList::fromValue(*value);
    } catch (const std::exception& e) {
        throw CIMException(CIMStatusCode::InvalidParameter, std::string("PropertyList: ") + e.what());
    }
}

cim::CIMInstance filtered(const cim::CIMInstance& instance, const cim::CIMPropertyList& list)
{
    if (list.isNull())
        return instance;
    cim::CIMInstance subset(instance.getClassName());
    for (const cim::CIMProperty& property : instance.getProperties()) {
        if (list.includes(property.getName()))
            subset.addProperty(property);
    }
    subset.setPath(instance.getPath());
    return subset;
}

const ClassInfo& requireClass(const std::string& nameSpace, const std::string& className)
{
    const ClassInfo* cls = ClassRegistry::instance().find(nameSpace, className);
    if (cls == nullptr)
        throw CIMException(CIMStatusCode::InvalidClass, className);
    return *cls;
}

// An optional class filter of an association request; unknown classes are a bad parameter.
const ClassInfo* filterClass(const cim::CIMRequest& request, const std::string& nameSpace, const char* name)
{
    const std::string className = classNameParameter(request, name);
    if (className.empty())
        return nullptr;
    const ClassInfo* cls = ClassRegistry::instance().find(nameSpace, className);
    if (cls == nullptr)
        throw CIMException(CIMStatusCode::InvalidParameter, std::string(name) + " " + className + " is not a class");
    return cls;
}

cim::CIMResponse errorResponse(const cim::CIMRequest& request, CIMStatusCode code, std::string description)
{
    cim::CIMResponse response;
    response.messageId = request.messageId;
    response.extrinsic = request.extrinsic;
    response.methodName = request.methodName;
    response.error = cim::CIMError{code, std::move(description), {}};
    return response;
}

} // namespace

OperationDispatcher::OperationDispatcher(ArrayModel& model, SimulatorSettings& settings, FaultControl& faults,
                                         RequestCounters& counters, MethodCallLog& calls, ControlHandler& control,
                                         std::string host)
    : m_model(model), m_settings(settings), m_faults(faults), m_counters(counters), m_calls(calls), m_control(control),
      m_host(std::move(host))
{
}

cim::CIMObjectPath OperationDispatcher::fullPath(const cim::CIMObjectPath& path) const
{
    cim::CIMObjectPath full = path;
    full.setHost(m_host);
    return full;
}

cim::CIMResponse OperationDispatcher::dispatch(const cim::CIMRequest& request)
{
    return run(request, nullptr);
}

std::string OperationDispatcher::dispatchEncoded(const cim::CIMRequest& request)
{
    std::string encoded;
    const cim::CIMResponse response = run(request, &encoded);
    if (!encoded.empty())
        return encoded;
    try {
        return cim::encodeResponse(response);
    } catch (const cim::CIMXmlError& e) {
        // Data the array holds that XML cannot carry is the array's failure, not the client's.
        return cim::encodeResponse(errorResponse(request, CIMStatusCode::Failed, e.what()));
    }
}

cim::CIMResponse OperationDispatcher::run(const cim::CIMRequest& request, std::string* encoded)
{
    const std::string nameSpace = request.nameSpace.isNull() ? request.target.getNameSpace().getString()
                                                              : request.nameSpace.getString();
    const std::string& operation = request.methodName.getString();
    try {
        if (same(nameSpace, Namespaces::Control)) {
            if (encoded != nullptr && !request.extrinsic && same(operation, "GetClass")) {
                *encoded = m_control.describeClass(request);
                return {};
            }
            cim::CIMResponse response = m_control.handle(request);
            response.messageId = request.messageId;
            return response;
        }
        if (!ClassRegistry::instance().hasNamespace(nameSpace))
            return errorResponse(request, CIMStatusCode::InvalidNamespace, nameSpace);

        m_counters.count(request.extrinsic ? "InvokeMethod" : operation);
        if (request.extrinsic)
            m_counters.count(operation);
        if (const auto failure = m_faults.takeFailure(operation)) {
            if (!request.extrinsic)
                return errorResponse(request, static_cast<CIMStatusCode>(*failure), "failure injected by the simulator");
            cim::CIMResponse response;
            response.messageId = request.messageId;
            response.extrinsic = true;
            response.methodName = request.methodName;
            response.returnValue = cim::CIMValue(*failure);
            return response;
        }
        cim::CIMResponse response = request.extrinsic ? extrinsic(request) : intrinsic(request, encoded);
        response.messageId = request.messageId;
        response.extrinsic = request.extrinsic;
        response.methodName = request.methodName;
        return response;
    } catch (const CIMException& e) {
        if (encoded != nullptr)
            encoded->clear();
        return errorResponse(request, e.getCode(), e.getDescription());
    } catch (const std::exception& e) {
        if (encoded != nullptr)
            encoded->clear();
        MWTRACE(2, "TC.Sim.Dispatcher") << operation << " failed inside the simulator: " << e.what() << MWENDREC;
        return errorResponse(request, CIMStatusCode::Failed, e.what());
    }
}

cim::CIMResponse OperationDispatcher::intrinsic(const cim::CIMRequest& request, std::string* encoded)
{
    const OperationInfo* info = operationNamed(request.methodName.getString());
    if (info == nullptr)
        throw CIMException(CIMStatusCode::NotSupported, request.methodName.getString() + " is not offered");
    checkParameters(request, *info);
    const std::string name = info->name;
    if (name == "ModifyInstance")
        return modifyInstance(request);
    if (name == "CreateInstance")
        return createInstance(request);
    if (name == "DeleteInstance")
        return deleteInstance(request);
    const bool internal = same(request.nameSpace.getString(), Namespaces::Internal);
    return m_model.read([&](const ModelView& view) {
        const InstanceStore& store = internal ? view.internal : view.storage;
        if (name == "GetInstance")
            return getInstance(request, store);
        if (name == "EnumerateInstances" || name == "EnumerateInstanceNames")
            return enumerateInstances(request, store, name == "EnumerateInstanceNames", encoded);
        if (name == "Associators" || name == "AssociatorNames")
            return associators(request, store, name == "AssociatorNames");
        if (name == "GetClass")
            return getClass(request, store, encoded);
        if (name == "EnumerateClassNames")
            return enumerateClassNames(request, store);
        return references(request, store, name == "ReferenceNames");
    });
}

cim::CIMResponse OperationDispatcher::getInstance(const cim::CIMRequest& request, const InstanceStore& store)
{
    const cim::CIMObjectPath path = pathParameter(request, "InstanceName");
    const ClassInfo& cls = requireClass(store.nameSpace(), path.getClassName().getString());
    cim::CIMResponse response;
    response.kind = cim::CIMReturnKind::Instances;
    if (cls.isAssociation()) {
        const StoredLink* link = store.findLink(path);
        if (link == nullptr)
            throw CIMException(CIMStatusCode::NotFound, path.toString());
        response.instances.push_back(filtered(store.associationInstance(*link), propertyList(request)));
        return response;
    }
    const StoredObject* object = store.find(path);
    if (object == nullptr)
        throw CIMException(CIMStatusCode::NotFound, path.toString());
    response.instances.push_back(filtered(*object->instance, propertyList(request)));
    return response;
}

cim::CIMResponse OperationDispatcher::enumerateInstances(const cim::CIMRequest& request, const InstanceStore& store,
                                                         bool namesOnly, std::string* encoded)
{
    const ClassInfo& cls = requireClass(store.nameSpace(), classNameParameter(request, "ClassName"));
    const cim::CIMPropertyList list = namesOnly ? cim::CIMPropertyList() : propertyList(request);
    cim::CIMResponse response;
    response.kind = namesOnly ? cim::CIMReturnKind::InstanceNames : cim::CIMReturnKind::NamedInstances;
    if (cls.isAssociation()) {
        for (const StoredLink* link : store.enumerateLinks(cls)) {
            cim::CIMInstance instance = store.associationInstance(*link);
            if (namesOnly)
                response.paths.push_back(instance.getPath());
            else
                response.instances.push_back(filtered(instance, list));
        }
        return response;
    }
    const auto objects = store.enumerate(cls);
    if (encoded != nullptr && !namesOnly && list.isNull()) {
        encodeEnumeration(request, objects, *encoded);
        return response;
    }
    if (namesOnly) {
        response.paths.reserve(objects.size());
        for (const StoredObject* object : objects)
            response.paths.push_back(*object->path);
        return response;
    }
    response.instances.reserve(objects.size());
    for (const StoredObject* object : objects)
        response.instances.push_back(filtered(*object->instance, list));
    return response;
}

cim::CIMResponse OperationDispatcher::getClass(const cim::CIMRequest& request, const InstanceStore& store,
                                              std::string* encoded)
{
    const ClassInfo& cls = requireClass(store.nameSpace(), classNameParameter(request, "ClassName"));
    cim::CIMResponse response;
    if (encoded != nullptr) {
        *encoded = ClassDescription::getClassResponse(request.messageId, cls, store);
        return response;
    }
    cim::CIMClass description(cls.name, cls.superclass != nullptr ? cim::CIMName(cls.superclass->name) : cim::CIMName());
    for (const StoredObject* object : store.enumerate(cls)) {
        if (object->cls != &cls)
            continue;
        for (const cim::CIMProperty& property : object->instance->getProperties()) {
            const cim::CIMValue& value = property.getValue();
            description.addProperty(cim::CIMProperty(property.getName(), cim::CIMValue(value.getType(), value.isArray())));
        }
        break;
    }
    response.kind = cim::CIMReturnKind::Classes;
    response.objects.emplace_back(std::move(description));
    return response;
}

cim::CIMResponse OperationDispatcher::enumerateClassNames(const cim::CIMRequest& request, const InstanceStore& store)
{
    const std::string parentName = classNameParameter(request, "ClassName");
    const ClassInfo* parent = parentName.empty() ? nullptr : &requireClass(store.nameSpace(), parentName);
    const cim::CIMValue* deep = parameter(request, "DeepInheritance");
    const bool deepInheritance = deep != nullptr && deep->getType() == cim::CIMType::Boolean && deep->get<bool>();
    cim::CIMResponse response;
    response.kind = cim::CIMReturnKind::ClassNames;
    response.paths = ClassDescription::classNames(store.nameSpace(), parent, deepInheritance);
    return response;
}

void OperationDispatcher::encodeEnumeration(const cim::CIMRequest& request,
                                            const std::vector<const StoredObject*>& objects, std::string& out) const
{
    std::vector<std::shared_ptr<const std::string>> pieces;
    pieces.reserve(objects.size());
    std::size_t total = 0;
    for (const StoredObject* object : objects) {
        std::shared_ptr<const std::string> piece = object->encoded->load();
        if (!piece) {
            std::string text;
            cim::CIMXmlWriter pieceWriter(text);
            cim::CIMXmlEncoder(pieceWriter).writeNamedInstance(*object->instance);
            pieceWriter.finish();
            piece = std::make_shared<const std::string>(std::move(text));
            object->encoded->store(piece);
        }
        total += piece->size();
        pieces.push_back(std::move(piece));
    }
    // One allocation for the whole reply: growing a reply of many megabytes step by step
    // costs more than writing it.
    out.reserve(total + 512);
    cim::adviseHugePages(out.data(), out.capacity());
    cim::CIMXmlWriter writer(out);
    cim::CIMXmlEncoder encoder(writer);
    encoder.beginMessage(request.messageId);
    writer.startElement("SIMPLERSP");
    writer.startElement("IMETHODRESPONSE");
    writer.attribute("NAME", request.methodName.getString());
    writer.startElement("IRETURNVALUE");
    // Closes the start tag, so the encoded instances can follow as they are.
    writer.text("");
    for (const auto& piece : pieces)
        out += *piece;
    encoder.endMessage();
}

cim::CIMResponse OperationDispatcher::associators(const cim::CIMRequest& request, const InstanceStore& store,
                                                  bool namesOnly)
{
    const cim::CIMObjectPath objectName = pathParameter(request, "ObjectName");
    if (!objectName.hasKeys())
        throw CIMException(CIMStatusCode::NotSupported, "association requests on classes are not offered");
    if (ClassRegistry::instance().find(store.nameSpace(), objectName.getClassName().getString()) == nullptr)
        throw CIMException(CIMStatusCode::InvalidParameter, "ObjectName names an unknown class");
    AssociationWalk walk;
    walk.associationClass = filterClass(request, store.nameSpace(), "AssocClass");
    walk.resultClass = filterClass(request, store.nameSpace(), "ResultClass");
    walk.role = textParameter(request, "Role");
    walk.resultRole = textParameter(request, "ResultRole");
    const cim::CIMPropertyList list = namesOnly ? cim::CIMPropertyList() : propertyList(request);

    cim::CIMResponse response;
    response.kind = namesOnly ? cim::CIMReturnKind::ObjectPaths : cim::CIMReturnKind::ObjectsWithPath;
    const StoredObject* source = store.find(objectName);
    if (source == nullptr)
        return response;
    for (const StoredObject* object : store.associators(*source, walk)) {
        if (namesOnly) {
            response.paths.push_back(fullPath(*object->path));
            continue;
        }
        cim::CIMInstance instance = filtered(*object->instance, list);
        instance.setPath(fullPath(*object->path));
        response.objects.emplace_back(std::move(instance));
    }
    return response;
}

cim::CIMResponse OperationDispatcher::references(const cim::CIMRequest& request, const InstanceStore& store,
                                                 bool namesOnly)
{
    const cim::CIMObjectPath objectName = pathParameter(request, "ObjectName");
    if (!objectName.hasKeys())
        throw CIMException(CIMStatusCode::NotSupported, "association requests on classes are not offered");
    if (ClassRegistry::instance().find(store.nameSpace(), objectName.getClassName().getString()) == nullptr)
        throw CIMException(CIMStatusCode::InvalidParameter, "ObjectName names an unknown class");
    const ClassInfo* associationClass = filterClass(request, store.nameSpace(), "ResultClass");
    const std::string role = textParameter(request, "Role");
    const cim::CIMPropertyList list = namesOnly ? cim::CIMPropertyList() : propertyList(request);

    cim::CIMResponse response;
    response.kind = namesOnly ? cim::CIMReturnKind::ObjectPaths : cim::CIMReturnKind::ObjectsWithPath;
    const StoredObject* source = store.find(objectName);
    if (source == nullptr)
        return response;
    for (const StoredLink* link : store.references(*source, associationClass, role)) {
        cim::CIMInstance instance = store.associationInstance(*link);
        const cim::CIMObjectPath path = fullPath(instance.getPath());
        if (namesOnly) {
            response.paths.push_back(path);
            continue;
        }
        instance = filtered(instance, list);
        instance.setPath(path);
        response.objects.emplace_back(std::move(instance));
    }
    return response;
}

cim::CIMResponse OperationDispatcher::modifyInstance(const cim::CIMRequest& request)
{
    if (!same(request.nameSpace.getString(), Namespaces::Storage))
        throw CIMException(CIMStatusCode::NotSupported, "instances of " + request.nameSpace.getString() + " are read-only");
    const cim::CIMValue* value = parameter(request, "ModifiedInstance");
    if (value->getType() != cim::CIMType::Instance && value->getType() != cim::CIMType::Object)
        throw CIMException(CIMStatusCode::InvalidParameter, "ModifiedInstance must be an instance");
    const cim::CIMInstance modified = value->get<cim::CIMInstance>();
    const cim::CIMObjectPath& path = modified.getPath();
    if (path.isNull() || !path.hasKeys())
        throw CIMException(CIMStatusCode::InvalidParameter, "ModifiedInstance must carry its instance name");
    const ClassInfo& cls = requireClass(Namespaces::Storage, path.getClassName().getString());
    if (cls.isAssociation())
        throw CIMException(CIMStatusCode::NotSupported, "association instances are read-only");
    const cim::CIMPropertyList list = propertyList(request);
    m_model.update([&](ModelTransaction& transaction) {
        const StoredObject* object = transaction.view().storage.find(path);
        if (object == nullptr)
            throw CIMException(CIMStatusCode::NotFound, path.toString());
        InstanceModifier::modify(transaction, *object, modified, list);
    });
    return {};
}

cim::CIMResponse OperationDispatcher::createInstance(const cim::CIMRequest& request)
{
    if (!same(request.nameSpace.getString(), Namespaces::Storage))
        throw CIMException(CIMStatusCode::NotSupported, "no instances can be created in " + request.nameSpace.getString());
    const cim::CIMValue* value = parameter(request, "NewInstance");
    if (value->getType() != cim::CIMType::Instance && value->getType() != cim::CIMType::Object)
        throw CIMException(CIMStatusCode::InvalidParameter, "NewInstance must be an instance");
    cim::CIMInstance instance = value->get<cim::CIMInstance>();
    requireClass(Namespaces::Storage, instance.getClassName().getString());
    cim::CIMResponse response;
    response.kind = cim::CIMReturnKind::InstanceNames;
    response.paths.push_back(m_model.update(
        [&](ModelTransaction& transaction) { return ListenerObjects::create(transaction, std::move(instance)); }));
    return response;
}

cim::CIMResponse OperationDispatcher::deleteInstance(const cim::CIMRequest& request)
{
    if (!same(request.nameSpace.getString(), Namespaces::Storage))
        throw CIMException(CIMStatusCode::NotSupported, "no instances can be deleted in " + request.nameSpace.getString());
    const cim::CIMObjectPath path = pathParameter(request, "InstanceName");
    const ClassInfo& cls = requireClass(Namespaces::Storage, path.getClassName().getString());
    if (cls.isAssociation())
        throw CIMException(CIMStatusCode::NotSupported, "association instances cannot be deleted");
    m_model.update([&](ModelTransaction& transaction) { ListenerObjects::remove(transaction, path); });
    return {};
}

cim::CIMResponse OperationDispatcher::extrinsic(const cim::CIMRequest& request)
{
    const cim::CIMObjectPath& target = request.target;
    const std::string nameSpace = request.nameSpace.isNull() ? target.getNameSpace().getString()
                                                              : request.nameSpace.getString();
    const ClassInfo& cls = requireClass(nameSpace, target.getClassName().getString());
    const MethodSpec* spec =
        same(nameSpace, Namespaces::Storage) ? MethodTable::find(cls, request.methodName.getString()) : nullptr;
    if (spec == nullptr)
        throw CIMException(CIMStatusCode::MethodNotFound, request.methodName.getString() + " of " + cls.name);
    std::map<std::string, cim::CIMValue> values = ParameterCoercion::coerce(spec->in, request.params);
    RecordedCall recorded{cls.name, values};

    cim::CIMResponse response;
    std::optional<PowerCycle> powerCycle;
    m_model.update([&](ModelTransaction& transaction) {
        const InstanceStore& store = transaction.view().storage;
        const StoredObject* object = nullptr;
        if (target.hasKeys()) {
            object = store.find(target);
            if (object == nullptr)
                throw CIMException(CIMStatusCode::NotFound, target.toString());
        } else {
            const auto instances = store.enumerate(cls);
            if (instances.size() != 1)
                throw CIMException(CIMStatusCode::InvalidParameter, request.methodName.getString() +
                                                                        " must be invoked on an instance of " + cls.name);
            object = instances.front();
        }
        recorded.className = object->cls->name;
        MethodCall call(transaction, m_settings, *object->path, std::move(values));
        response.returnValue = cim::CIMValue(spec->handler(call));
        response.outParams = call.takeOutParameters();
        powerCycle = call.powerCycle();
    });
    // Recorded outside the model lock, which must not be held while another is taken.
    m_calls.record(spec->methodName, std::move(recorded));
    if (powerCycle)
        m_faults.powerCycle(*powerCycle);
    return response;
}

namespace {

// The user name of "user:password".
std::string userOf(const std::string& credentials)
{
    return credentials.substr(0, credentials.find(':'));
}

} // namespace

bool OperationDispatcher::acceptsAccount(const std::string& credentials) const
{
    const std::size_t colon = credentials.find(':');
    if (colon == std::string::npos)
        return false;
    return m_model.read([&](const ModelView& view) {
        const SimAccount* account = view.state.findAccountByUser(credentials.substr(0, colon));
        return account != nullptr && account->password == credentials.substr(colon + 1);
    });
}

void OperationDispatcher::recordRefusedLogin(const std::string& credentials)
{
    m_model.update([&](ModelTransaction& transaction) {
        EventLog::record(transaction, EventSeverity::Major, EventCategory::Security,
                         "Log-in of user '" + userOf(credentials) + "' refused");
    });
}

} // namespace Merrow::Sim
