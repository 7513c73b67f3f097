#pragma once

#include "cim/value/CIMInstance.h"
#include "cim/value/CIMName.h"
#include "cim/value/CIMNamespaceName.h"
#include "cim/value/CIMObject.h"
#include "cim/value/CIMObjectPath.h"
#include "cim/value/CIMParamValue.h"
#include "cim/value/CIMPropertyList.h"
#include "cim/value/CIMValue.h"
#include "cim/http/HttpOperationChannel.h"

#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

namespace cim {

struct CIMRequest;
struct CIMResponse;

// A client for the CIM operations over HTTP (CIM-XML) that the array code needs, on one
// persistent keep-alive connection per client with Basic authentication.
//
// Failures are exceptions of distinct types:
//   CIMAlreadyConnectedException  connect() while connected
//   CIMCannotConnectException     the server cannot be reached
//   CIMNotConnectedException      not connected, or the connection dropped during a request
//   CIMTimeoutException           no complete answer within the time-out
//   CIMMalformedHttpException     the answer is not acceptable HTTP or CIM-XML
//   CIMHttpErrorException         an HTTP error status, "HTTP Error (401 Unauthorized)." for
//                                 refused credentials
//   CIMException                  the server reported a CIM status (1..17) with a description
//   CIMXmlError                   an argument CIM-XML cannot carry (invalid UTF-8, controls)
//
// After a dropped connection or a time-out the client stays connected: the next request
// opens a new TCP connection. A request that only reads (getInstance, enumerateInstances,
// enumerateInstanceNames, associators, associatorNames) is sent once more when the server
// closed the connection before answering; a request that changes something
// (createInstance, modifyInstance, deleteInstance, invokeMethod) never is.
//
// Paths in answers that carry no namespace (INSTANCENAME, VALUE.NAMEDINSTANCE) get the
// namespace of the request; the host stays as the server sent it.
//
// Threads: every public member may be called from any thread; one mutex serialises the
// requests (a second caller waits until the first request is answered).
class CIMClient {
public:
    static constexpr std::uint32_t kDefaultTimeoutMilliseconds = 20000;

    CIMClient();
    ~CIMClient();
    CIMClient(const CIMClient&) = delete;
    CIMClient& operator=(const CIMClient&) = delete;

    // Opens the connection to host:port (plain HTTP). Credentials are sent with every
    // request; an empty user name sends none. The first request shows whether the server
    // accepts them.
    void connect(const std::string& host, std::uint16_t port, const std::string& userName,
                 const std::string& password);
    void disconnect();
    bool isConnected() const;

    // Limit for the connect and for each later request; 0 means no limit.
    void setTimeout(std::uint32_t milliseconds);
    std::uint32_t getTimeout() const;

    // The local address of the connection, the address the server sees this client by
    // (empty when not connected).
    std::string getPublicIP() const;
    // The server's address the connection went to (empty when not connected).
    std::string getServerIP() const;

    // The returned instance carries instanceName (with the namespace) as its path.
    CIMInstance getInstance(const CIMNamespaceName& nameSpace, const CIMObjectPath& instanceName,
                            bool localOnly = false, bool includeQualifiers = false,
                            bool includeClassOrigin = false,
                            const CIMPropertyList& propertyList = CIMPropertyList());

    void deleteInstance(const CIMNamespaceName& nameSpace, const CIMObjectPath& instanceName);

    // Returns the path of the new instance as the server reports it.
    CIMObjectPath createInstance(const CIMNamespaceName& nameSpace, const CIMInstance& newInstance);

    // The instance must carry its path. A null property list changes every property given.
    void modifyInstance(const CIMNamespaceName& nameSpace, const CIMInstance& modifiedInstance,
                        bool includeQualifiers = false,
                        const CIMPropertyList& propertyList = CIMPropertyList());

    std::vector<CIMInstance> enumerateInstances(const CIMNamespaceName& nameSpace, const CIMName& className,
                                                bool deepInheritance = true, bool localOnly = false,
                                                bool includeQualifiers = false, bool includeClassOrigin = false,
                                                const CIMPropertyList& propertyList = CIMPropertyList());

    using InstanceConsumer = std::function<void(CIMInstance&&)>;

    // As above, but the reply is decoded as it arrives and each instance handed to `consumer`
    // as soon as it is decoded, so that a long answer is never held as a whole (memory stays
    // that of one item and one read buffer; see CIMXmlResponseStream). A reply found
    // malformed part way through throws as above, after the instances before the fault have
    // been handed over; a reply that does not answer the request hands over nothing. The
    // time-out covers the decoding. The consumer runs on the calling thread with the
    // client's lock held: it must not use this client.
    void enumerateInstances(const CIMNamespaceName& nameSpace, const CIMName& className, bool deepInheritance,
                            bool localOnly, bool includeQualifiers, bool includeClassOrigin,
                            const CIMPropertyList& propertyList, const InstanceConsumer& consumer);

    std::vector<CIMObjectPath> enumerateInstanceNames(const CIMNamespaceName& nameSpace, const CIMName& className);

    using PathConsumer = std::function<void(CIMObjectPath&&)>;
    using ObjectConsumer = std::function<void(CIMObject&&)>;

    // As above, each path handed to `consumer` as soon as it is decoded (see the consumer
    // form of enumerateInstances).
    void enumerateInstanceNames(const CIMNamespaceName& nameSpace, const CIMName& className,
                                const PathConsumer& consumer);

    // Null names leave the corresponding filter out.
    std::vector<CIMObject> associators(const CIMNamespaceName& nameSpace, const CIMObjectPath& objectName,
                                       const CIMName& assocClass = CIMName(), const CIMName& resultClass = CIMName(),
                                       const std::string& role = std::string(),
                                       const std::string& resultRole = std::string(), bool includeQualifiers = false,
                                       bool includeClassOrigin = false,
                                       const CIMPropertyList& propertyList = CIMPropertyList());

    std::vector<CIMObjectPath> associatorNames(const CIMNamespaceName& nameSpace, const CIMObjectPath& objectName,
                                               const CIMName& assocClass = CIMName(),
                                               const CIMName& resultClass = CIMName(),
                                               const std::string& role = std::string(),
                                               const std::string& resultRole = std::string());

    // The consumer forms of associators and associatorNames (see that of enumerateInstances).
    void associators(const CIMNamespaceName& nameSpace, const CIMObjectPath& objectName, const CIMName& assocClass,
                     const CIMName& resultClass, const std::string& role, const std::string& resultRole,
                     bool includeQualifiers, bool includeClassOrigin, const CIMPropertyList& propertyList,
                     const ObjectConsumer& consumer);
    void associatorNames(const CIMNamespaceName& nameSpace, const CIMObjectPath& objectName,
                         const CIMName& assocClass, const CIMName& resultClass, const std::string& role,
                         const std::string& resultRole, const PathConsumer& consumer);

    // The names of the classes derived from `className`: its direct subclasses, or with
    // deepInheritance every class below it. A null name starts from the top classes.
    std::vector<CIMName> enumerateClassNames(const CIMNamespaceName& nameSpace, const CIMName& className,
                                             bool deepInheritance);

    // Invokes an extrinsic method on a class or instance path. Returns the method's return
    // value and fills outParameters. Values the server sent without a type come back as
    // strings (see CIMValue::fromText).
    CIMValue invokeMethod(const CIMNamespaceName& nameSpace, const CIMObjectPath& instanceName,
                          const CIMName& methodName, const std::vector<CIMParamValue>& inParameters,
                          std::vector<CIMParamValue>& outParameters);

private:
    struct ItemSink;
    static ItemSink pathSink(const PathConsumer& consumer);

    CIMResponse callIntrinsic(const CIMNamespaceName& nameSpace, const char* method,
                              std::vector<CIMParamValue> params, HttpOperationChannel::Resend resend,
                              const ItemSink* sink = nullptr);
    CIMResponse call(CIMRequest& request, const std::string& cimObjectHeader, HttpOperationChannel::Resend resend,
                     const ItemSink* sink = nullptr);
    CIMResponse callStreamed(const CIMRequest& request, const std::string& cimObjectHeader, std::string body,
                             HttpOperationChannel::Resend resend, const ItemSink& sink,
                             const std::function<void()>& inTime);

    mutable std::mutex m_mutex; // serialises requests; guards everything below
    HttpOperationChannel m_channel;
    std::uint32_t m_timeoutMilliseconds = kDefaultTimeoutMilliseconds;
    std::uint64_t m_lastMessageId = 0;
};

} // namespace cim
