#include "cim/client/CIMClient.h"

#include "cim/xml/CIMRequest.h"
#include "cim/xml/CIMResponse.h"
#include "cim/http/CIMTransportExceptions.h"
#include "cim/value/CIMValueError.h"
#include "cim/xml/CIMXmlCodec.h"
#include "cim/xml/CIMXmlError.h"
#include "cim/xml/CIMXmlResponseReader.h"
#include "cim/xml/CIMXmlResponseStream.h"

#include <chrono>
#include <exception>
#include <stdexcept>

namespace cim {

using Resend = HttpOperationChannel::Resend;

namespace {

void addBoolean(std::vector<CIMParamValue>& params, const char* name, bool value)
{
    params.emplace_back(CIMName(name), CIMValue(value));
}

void addClassName(std::vector<CIMParamValue>& params, const char* name, const CIMName& className)
{
    if (!className.isNull())
        params.emplace_back(CIMName(name), CIMValue(className.getString()));
}

void addString(std::vector<CIMParamValue>& params, const char* name, const std::string& value)
{
    if (!value.empty())
        params.emplace_back(CIMName(name), CIMValue(value));
}

void addPropertyList(std::vector<CIMParamValue>& params, const CIMPropertyList& propertyList)
{
    if (!propertyList.isNull())
        params.emplace_back(CIMName("PropertyList"), propertyList.toValue());
}

// The path as the request carries it: no host, and the namespace of the request.
CIMObjectPath localPath(const CIMObjectPath& path, const CIMNamespaceName& nameSpace)
{
    CIMObjectPath local(path);
    local.setHost(std::string());
    if (!nameSpace.isNull())
        local.setNameSpace(nameSpace);
    return local;
}

// INSTANCENAME and VALUE.NAMEDINSTANCE carry no namespace; the answer's paths are in the
// namespace of the request, and callers compare and reuse them as such.
void completeNamespace(CIMObjectPath& path, const CIMNamespaceName& nameSpace)
{
    if (path.getNameSpace().isNull() && !path.isNull())
        path.setNameSpace(nameSpace);
}

void completeNamespaces(CIMResponse& response, const CIMNamespaceName& nameSpace)
{
    for (CIMObjectPath& path : response.paths)
        completeNamespace(path, nameSpace);
    for (CIMInstance& instance : response.instances) {
        CIMObjectPath path = instance.getPath();
        completeNamespace(path, nameSpace);
        instance.setPath(std::move(path));
    }
    for (CIMObject& object : response.objects) {
        CIMObjectPath path = object.getPath();
        completeNamespace(path, nameSpace);
        object.setPath(std::move(path));
    }
}

[[noreturn]] void unexpectedReturn(const CIMResponse& response)
{
    throw CIMMalformedHttpException("Unexpected IRETURNVALUE content in the " + response.methodName.getString()
                                    + " reply");
}

std::vector<CIMInstance> instancesOf(CIMResponse& response)
{
    switch (response.kind) {
    case CIMReturnKind::Nothing:
        return {};
    case CIMReturnKind::Instances:
    case CIMReturnKind::NamedInstances:
    case CIMReturnKind::InstancesWithPath:
        return std::move(response.instances);
    default:
        unexpectedReturn(response);
    }
}

std::vector<CIMObject> objectsOf(CIMResponse& response)
{
    switch (response.kind) {
    case CIMReturnKind::Nothing:
        return {};
    case CIMReturnKind::Objects:
    case CIMReturnKind::ObjectsWithPath:
    case CIMReturnKind::ObjectsWithLocalPath:
        return std::move(response.objects);
    case CIMReturnKind::Instances:
    case CIMReturnKind::NamedInstances:
    case CIMReturnKind::InstancesWithPath:
        return {std::make_move_iterator(response.instances.begin()), std::make_move_iterator(response.instances.end())};
    default:
        unexpectedReturn(response);
    }
}

std::vector<CIMObjectPath> pathsOf(CIMResponse& response)
{
    switch (response.kind) {
    case CIMReturnKind::Nothing:
        return {};
    case CIMReturnKind::InstanceNames:
    case CIMReturnKind::InstancePaths:
    case CIMReturnKind::ObjectPaths:
        return std::move(response.paths);
    default:
        unexpectedReturn(response);
    }
}

// Runs one step of reading the reply, with decoding failures reported as a malformed reply.
template <typename Step>
auto readReply(Step step)
{
    try {
        return step();
    } catch (const CIMXmlError& e) {
        throw CIMMalformedHttpException(std::string("Malformed CIM-XML reply: ") + e.what());
    } catch (const CIMValueError& e) {
        throw CIMMalformedHttpException(std::string("Malformed CIM-XML reply: ") + e.what());
    }
}

// The time-out (0 for none) covers the whole call: a reply that arrived in time but takes longer than
// the rest of it to decode is given up as a late one would be.
void checkDecodeDeadline(std::chrono::steady_clock::time_point deadline, std::uint32_t timeoutMilliseconds)
{
    if (timeoutMilliseconds != 0 && std::chrono::steady_clock::now() > deadline)
        throw CIMTimeoutException("The reply was not decoded within the time-out of "
                                  + std::to_string(timeoutMilliseconds) + " ms");
}

// A reply that answers some other request means the stream is out of step; trusting its
// content would hand the caller someone else's data.
void checkReplyMatches(const CIMRequest& request, const CIMResponse& response)
{
    if (response.messageId != request.messageId)
        throw CIMMalformedHttpException("The reply has MESSAGE ID \"" + response.messageId + "\", the request had \""
                                        + request.messageId + "\"");
    if (response.extrinsic != request.extrinsic || !(response.methodName == request.methodName))
        throw CIMMalformedHttpException("The reply is for method \"" + response.methodName.getString()
                                        + "\", the request was \"" + request.methodName.getString() + "\"");
}

void checkReply(const CIMRequest& request, const CIMResponse& response)
{
    checkReplyMatches(request, response);
    if (response.error)
        throw response.error->toException();
}

} // namespace

// Takes the items of an intrinsic reply one by one instead of collecting them.
struct CIMClient::ItemSink {
    // Throws when the reply cannot be what the operation returns.
    std::function<void(CIMResponse& head)> checkHead;
    // Called with one item in the vector its kind uses.
    std::function<void(CIMResponse& item)> take;
};

CIMClient::ItemSink CIMClient::pathSink(const PathConsumer& consumer)
{
    return {[](CIMResponse& head) { pathsOf(head); },
            [&consumer](CIMResponse& item) {
                for (CIMObjectPath& path : item.paths)
                    consumer(std::move(path));
            }};
}

CIMClient::CIMClient()
{
    m_channel.setTimeout(std::chrono::milliseconds(m_timeoutMilliseconds));
}

CIMClient::~CIMClient() = default;

void CIMClient::connect(const std::string& host, std::uint16_t port, const std::string& userName,
                        const std::string& password)
{
    std::lock_guard lock(m_mutex);
    m_channel.connect(host, port, userName, password);
}

void CIMClient::disconnect()
{
    std::lock_guard lock(m_mutex);
    m_channel.disconnect();
}

bool CIMClient::isConnected() const
{
    std::lock_guard lock(m_mutex);
    return m_channel.isConnected();
}

void CIMClient::setTimeout(std::uint32_t milliseconds)
{
    std::lock_guard lock(m_mutex);
    m_timeoutMilliseconds = milliseconds;
    m_channel.setTimeout(std::chrono::milliseconds(milliseconds));
}

std::uint32_t CIMClient::getTimeout() const
{
    std::lock_guard lock(m_mutex);
    return m_timeoutMilliseconds;
}

std::string CIMClient::getPublicIP() const
{
    std::lock_guard lock(m_mutex);
    return m_channel.localAddress();
}

std::string CIMClient::getServerIP() const
{
    std::lock_guard lock(m_mutex);
    return m_channel.peerAddress();
}

CIMResponse CIMClient::call(CIMRequest& request, const std::string& cimObjectHeader, Resend resend,
                            const ItemSink* sink)
{
    std::lock_guard lock(m_mutex);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(m_timeoutMilliseconds);
    const auto inTime = [&] { checkDecodeDeadline(deadline, m_timeoutMilliseconds); };
    request.messageId = std::to_string(++m_lastMessageId);
    std::string body = encodeRequest(request);
    if (sink)
        return callStreamed(request, cimObjectHeader, std::move(body), resend, *sink, inTime);
    // The reply body is read in place: it is not needed afterwards.
    CIMXmlResponseReader reader(
        m_channel.post(request.methodName.getString(), cimObjectHeader, std::move(body), resend));
    CIMResponse head = readReply([&] { return reader.readHead(); });
    inTime();
    while (readReply([&] { return reader.readItem(head); }))
        inTime();
    checkReply(request, head);
    return head;
}

// The reply is decoded as it arrives and each item handed to the sink at once. Failures come
// in the order of the collecting form: the HTTP checks of the whole reply, then a malformed
// reply, then a reply that does not answer the request (whose items are not handed over).
CIMResponse CIMClient::callStreamed(const CIMRequest& request, const std::string& cimObjectHeader, std::string body,
                                    Resend resend, const ItemSink& sink, const std::function<void()>& inTime)
{
    std::exception_ptr headRefused;
    std::exception_ptr readFailure;
    CIMXmlResponseStream stream(
        [&](const CIMResponse& head) {
            try {
                checkReply(request, head);
                CIMResponse checked = head;
                sink.checkHead(checked);
            } catch (...) {
                headRefused = std::current_exception();
            }
        },
        [&](CIMResponse& item) {
            if (!headRefused)
                sink.take(item);
        });
    // After a failure the rest of the reply is still read, for its HTTP checks and to keep
    // the connection in step.
    m_channel.post(request.methodName.getString(), cimObjectHeader, std::move(body), resend,
                   [&](std::string_view piece) {
                       if (readFailure)
                           return;
                       try {
                           stream.feed(piece);
                       } catch (...) {
                           readFailure = std::current_exception();
                       }
                   });
    if (readFailure)
        readReply([&] { std::rethrow_exception(readFailure); });
    CIMResponse head = readReply([&] { return stream.finish(); });
    inTime();
    if (headRefused)
        std::rethrow_exception(headRefused);
    return head;
}

CIMResponse CIMClient::callIntrinsic(const CIMNamespaceName& nameSpace, const char* method,
                                     std::vector<CIMParamValue> params, Resend resend, const ItemSink* sink)
{
    CIMRequest request;
    request.methodName = CIMName(method);
    request.nameSpace = nameSpace;
    request.params = std::move(params);
    if (sink) {
        const ItemSink completing{sink->checkHead, [&](CIMResponse& item) {
                                      completeNamespaces(item, nameSpace);
                                      sink->take(item);
                                  }};
        return call(request, nameSpace.getString(), resend, &completing);
    }
    CIMResponse response = call(request, nameSpace.getString(), resend);
    completeNamespaces(response, nameSpace);
    return response;
}

CIMInstance CIMClient::getInstance(const CIMNamespaceName& nameSpace, const CIMObjectPath& instanceName,
                                   bool localOnly, bool includeQualifiers, bool includeClassOrigin,
                                   const CIMPropertyList& propertyList)
{
    std::vector<CIMParamValue> params;
    params.emplace_back(CIMName("InstanceName"), CIMValue(instanceName));
    addBoolean(params, "LocalOnly", localOnly);
    addBoolean(params, "IncludeQualifiers", includeQualifiers);
    addBoolean(params, "IncludeClassOrigin", includeClassOrigin);
    addPropertyList(params, propertyList);
    CIMResponse response = callIntrinsic(nameSpace, "GetInstance", std::move(params), Resend::OnceIfUnanswered);
    std::vector<CIMInstance> instances = instancesOf(response);
    if (instances.size() != 1)
        throw CIMMalformedHttpException("The GetInstance reply holds " + std::to_string(instances.size())
                                        + " instances instead of one");
    CIMObjectPath path(instanceName);
    if (path.getNameSpace().isNull())
        path.setNameSpace(nameSpace);
    instances.front().setPath(std::move(path));
    return std::move(instances.front());
}

void CIMClient::deleteInstance(const CIMNamespaceName& nameSpace, const CIMObjectPath& instanceName)
{
    std::vector<CIMParamValue> params;
    params.emplace_back(CIMName("InstanceName"), CIMValue(instanceName));
    callIntrinsic(nameSpace, "DeleteInstance", std::move(params), Resend::Never);
}

CIMObjectPath CIMClient::createInstance(const CIMNamespaceName& nameSpace, const CIMInstance& newInstance)
{
    std::vector<CIMParamValue> params;
    params.emplace_back(CIMName("NewInstance"), CIMValue(newInstance));
    CIMResponse response = callIntrinsic(nameSpace, "CreateInstance", std::move(params), Resend::Never);
    std::vector<CIMObjectPath> paths = pathsOf(response);
    if (paths.size() != 1)
        throw CIMMalformedHttpException("The CreateInstance reply holds " + std::to_string(paths.size())
                                        + " instance names instead of one");
    return std::move(paths.front());
}

void CIMClient::modifyInstance(const CIMNamespaceName& nameSpace, const CIMInstance& modifiedInstance,
                               bool includeQualifiers, const CIMPropertyList& propertyList)
{
    if (modifiedInstance.getPath().isNull())
        throw std::invalid_argument("modifyInstance needs an instance that carries its path");
    std::vector<CIMParamValue> params;
    params.emplace_back(CIMName("ModifiedInstance"), CIMValue(modifiedInstance));
    addBoolean(params, "IncludeQualifiers", includeQualifiers);
    addPropertyList(params, propertyList);
    callIntrinsic(nameSpace, "ModifyInstance", std::move(params), Resend::Never);
}

namespace {

std::vector<CIMParamValue> enumerateInstancesParams(const CIMName& className, bool deepInheritance, bool localOnly,
                                                    bool includeQualifiers, bool includeClassOrigin,
                                                    const CIMPropertyList& propertyList)
{
    std::vector<CIMParamValue> params;
    addClassName(params, "ClassName", className);
    addBoolean(params, "DeepInheritance", deepInheritance);
    addBoolean(params, "LocalOnly", localOnly);
    addBoolean(params, "IncludeQualifiers", includeQualifiers);
    addBoolean(params, "IncludeClassOrigin", includeClassOrigin);
    addPropertyList(params, propertyList);
    return params;
}

} // namespace

std::vector<CIMInstance> CIMClient::enumerateInstances(const CIMNamespaceName& nameSpace, const CIMName& className,
                                                       bool deepInheritance, bool localOnly, bool includeQualifiers,
                                                       bool includeClassOrigin, const CIMPropertyList& propertyList)
{
    auto params = enumerateInstancesParams(className, deepInheritance, localOnly, includeQualifiers,
                                           includeClassOrigin, propertyList);
    CIMResponse response = callIntrinsic(nameSpace, "EnumerateInstances", std::move(params), Resend::OnceIfUnanswered);
    return instancesOf(response);
}

void CIMClient::enumerateInstances(const CIMNamespaceName& nameSpace, const CIMName& className, bool deepInheritance,
                                   bool localOnly, bool includeQualifiers, bool includeClassOrigin,
                                   const CIMPropertyList& propertyList, const InstanceConsumer& consumer)
{
    auto params = enumerateInstancesParams(className, deepInheritance, localOnly, includeQualifiers,
                                           includeClassOrigin, propertyList);
    const ItemSink sink{[](CIMResponse& head) { instancesOf(head); },
                        [&](CIMResponse& item) {
                            for (CIMInstance& instance : item.instances)
                                consumer(std::move(instance));
                        }};
    callIntrinsic(nameSpace, "EnumerateInstances", std::move(params), Resend::OnceIfUnanswered, &sink);
}

std::vector<CIMObjectPath> CIMClient::enumerateInstanceNames(const CIMNamespaceName& nameSpace,
                                                             const CIMName& className)
{
    std::vector<CIMParamValue> params;
    addClassName(params, "ClassName", className);
    CIMResponse response =
        callIntrinsic(nameSpace, "EnumerateInstanceNames", std::move(params), Resend::OnceIfUnanswered);
    return pathsOf(response);
}

void CIMClient::enumerateInstanceNames(const CIMNamespaceName& nameSpace, const CIMName& className,
                                       const PathConsumer& consumer)
{
    std::vector<CIMParamValue> params;
    addClassName(params, "ClassName", className);
    const ItemSink sink = pathSink(consumer);
    callIntrinsic(nameSpace, "EnumerateInstanceNames", std::move(params), Resend::OnceIfUnanswered, &sink);
}

namespace {

std::vector<CIMParamValue> associatorNamesParams(const CIMObjectPath& objectName, const CIMName& assocClass,
                                                 const CIMName& resultClass, const std::string& role,
                                                 const std::string& resultRole)
{
    std::vector<CIMParamValue> params;
    params.emplace_back(CIMName("ObjectName"), CIMValue(objectName));
    addClassName(params, "AssocClass", assocClass);
    addClassName(params, "ResultClass", resultClass);
    addString(params, "Role", role);
    addString(params, "ResultRole", resultRole);
    return params;
}

std::vector<CIMParamValue> associatorsParams(const CIMObjectPath& objectName, const CIMName& assocClass,
                                             const CIMName& resultClass, const std::string& role,
                                             const std::string& resultRole, bool includeQualifiers,
                                             bool includeClassOrigin, const CIMPropertyList& propertyList)
{
    auto params = associatorNamesParams(objectName, assocClass, resultClass, role, resultRole);
    addBoolean(params, "IncludeQualifiers", includeQualifiers);
    addBoolean(params, "IncludeClassOrigin", includeClassOrigin);
    addPropertyList(params, propertyList);
    return params;
}

} // namespace

std::vector<CIMObject> CIMClient::associators(const CIMNamespaceName& nameSpace, const CIMObjectPath& objectName,
                                              const CIMName& assocClass, const CIMName& resultClass,
                                              const std::string& role, const std::string& resultRole,
                                              bool includeQualifiers, bool includeClassOrigin,
                                              const CIMPropertyList& propertyList)
{
    auto params = associatorsParams(objectName, assocClass, resultClass, role, resultRole, includeQualifiers,
                                    includeClassOrigin, propertyList);
    CIMResponse response = callIntrinsic(nameSpace, "Associators", std::move(params), Resend::OnceIfUnanswered);
    return objectsOf(response);
}

void CIMClient::associators(const CIMNamespaceName& nameSpace, const CIMObjectPath& objectName,
                            const CIMName& assocClass, const CIMName& resultClass, const std::string& role,
                            const std::string& resultRole, bool includeQualifiers, bool includeClassOrigin,
                            const CIMPropertyList& propertyList, const ObjectConsumer& consumer)
{
    auto params = associatorsParams(objectName, assocClass, resultClass, role, resultRole, includeQualifiers,
                                    includeClassOrigin, propertyList);
    // Instances stand for objects as in the collecting form.
    const ItemSink sink{[](CIMResponse& head) { objectsOf(head); },
                        [&](CIMResponse& item) {
                            for (CIMObject& object : objectsOf(item))
                                consumer(std::move(object));
                        }};
    callIntrinsic(nameSpace, "Associators", std::move(params), Resend::OnceIfUnanswered, &sink);
}

std::vector<CIMObjectPath> CIMClient::associatorNames(const CIMNamespaceName& nameSpace,
                                                      const CIMObjectPath& objectName, const CIMName& assocClass,
                                                      const CIMName& resultClass, const std::string& role,
                                                      const std::string& resultRole)
{
    auto params = associatorNamesParams(objectName, assocClass, resultClass, role, resultRole);
    CIMResponse response = callIntrinsic(nameSpace, "AssociatorNames", std::move(params), Resend::OnceIfUnanswered);
    return pathsOf(response);
}

std::vector<CIMName> CIMClient::enumerateClassNames(const CIMNamespaceName& nameSpace, const CIMName& className,
                                                   bool deepInheritance)
{
    std::vector<CIMParamValue> params;
    addClassName(params, "ClassName", className);
    addBoolean(params, "DeepInheritance", deepInheritance);
    CIMResponse response =
        callIntrinsic(nameSpace, "EnumerateClassNames", std::move(params), Resend::OnceIfUnanswered);
    if (response.kind != CIMReturnKind::ClassNames && response.kind != CIMReturnKind::Nothing)
        unexpectedReturn(response);
    std::vector<CIMName> names;
    names.reserve(response.paths.size());
    for (const CIMObjectPath& path : response.paths)
        names.push_back(path.getClassName());
    return names;
}

void CIMClient::associatorNames(const CIMNamespaceName& nameSpace, const CIMObjectPath& objectName,
                                const CIMName& assocClass, const CIMName& resultClass, const std::string& role,
                                const std::string& resultRole, const PathConsumer& consumer)
{
    auto params = associatorNamesParams(objectName, assocClass, resultClass, role, resultRole);
    const ItemSink sink = pathSink(consumer);
    callIntrinsic(nameSpace, "AssociatorNames", std::move(params), Resend::OnceIfUnanswered, &sink);
}

CIMValue CIMClient::invokeMethod(const CIMNamespaceName& nameSpace, const CIMObjectPath& instanceName,
                                 const CIMName& methodName, const std::vector<CIMParamValue>& inParameters,
                                 std::vector<CIMParamValue>& outParameters)
{
    CIMRequest request;
    request.extrinsic = true;
    request.methodName = methodName;
    request.nameSpace = nameSpace;
    request.target = localPath(instanceName, nameSpace);
    request.params = inParameters;
    CIMResponse response = call(request, request.target.toString(), Resend::Never);
    outParameters = std::move(response.outParams);
    return std::move(response.returnValue);
}

} // namespace cim
