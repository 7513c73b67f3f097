#pragma once

#include "cim/value/CIMInstance.h"
#include "cim/value/CIMParamValue.h"
#include "cim/value/CIMValue.h"
#include "user_agent/base/CIMValueConversions.h"
#include "user_agent/base/MerrowReturnValue.h"
#include "user_agent/base/UALockableObject.h"
#include "user_agent/connection/CorvaneConnectionWeakRef.h"
#include "user_agent/objects/CIM_AssociationSpec.h"
#include "user_agent/objects/CIM_ContainerAnchor.h"
#include "user_agent/objects/CIM_ObjectContainerInterface.h"

#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace Merrow::UserAgent {

class MerrowProfileInterface;
class UACIMClient;

// Exactly one CIM instance of the array, cached. Found by enumerating its class (kind 1),
// by a path (kinds 2 and 3: getInstance without steps, otherwise an association walk with
// associatorNames for every step but the last), or from another container's path (kind 4).
// Zero objects set the not-found flag; two or more throw MWEPegasusClientRequest.
//
// Time-based expiry (5000 ms) applies only when the connection is absent or indications are
// off for it; otherwise the cache stays until an indication or invalidation.
//
// A modification indication replaces the instance with the one it carries, except (on
// purpose, beyond plain replacement) when the held instance does not match the
// indication's previous instance: then the held one was read after the change, while the
// indication was still on its way, and the instance is dropped so that the next read
// fetches it, instead of setting a newer state back to an older one.
//
// Threads: any; every public operation holds the container's own lock (UALockableObject)
// for its whole run. Lock order: profile, then container, then the connection's client lock.
class CIM_Object : public CIM_ObjectContainerInterface, public UALockableObject {
public:
    static constexpr std::chrono::milliseconds kExpiry{5000};

    // Kind 1: the one instance of `resultClassName`, by enumeration.
    CIM_Object(const MerrowProfileInterface* containingProfile, const cim::CIMName& resultClassName,
               std::uint8_t flag = 0);
    // Kind 2: from `*anchorPath`, which is owned elsewhere and must outlive this object.
    CIM_Object(const MerrowProfileInterface* containingProfile,
               const cim::CIMObjectPath* anchorPath, CIM_AssociationSpecList associationSpec);
    // Kind 3: from a copy of `anchorPath`.
    CIM_Object(const MerrowProfileInterface* containingProfile, cim::CIMObjectPath anchorPath,
               CIM_AssociationSpecList associationSpec);
    // Kind 4: from the path of `source`, which must outlive this object.
    CIM_Object(const MerrowProfileInterface* containingProfile,
               CIM_ObjectContainerInterface& source, CIM_AssociationSpecList associationSpec);
    ~CIM_Object() override;

    // CIM_ObjectContainerInterface
    void SetConnection(const CorvaneConnectionWeakRef& connection) override;
    std::uint32_t UpdateObjectContainerWithIndication(const UAIndication& indication) override;
    cim::CIMName GetCIMClassName() const override;
    std::string GetCIMNamespace() const override;
    void FetchData(bool force) override;
    bool IsObjectContainer() const override { return true; }
    bool InvalidateCache() override;
    bool InvalidateCacheIfPath(const cim::CIMObjectPath& path) override;
    cim::CIMObjectPath GetCIMObjectPath() override;
    cim::CIMObjectPath GetAnchorPath() const override;
    void UpdateCimServerWithData() override;
    void CollectInterest(PathInterest& interest) const override;
    // Sends the cached instance with a property list naming only `propertyName`: the array
    // changes that property alone, so other properties of a cache that an indication has
    // not yet brought up to date are never written back over newer values.
    void UpdateCimServerWithProperty(const std::string& propertyName);

    // Fetches (without force), then reads the property; false when absent, null or not
    // convertible to T. Integers of any width convert when the value fits.
    template <typename T> bool GetPropertyValue(const std::string& propertyName, T& value);
    // Sets the property in the cached instance only (UpdateCimServerWithData sends it); false
    // when nothing is cached or the instance has no such property.
    template <typename T> bool SetPropertyValue(const std::string& propertyName, const T& value);

    // Replaces the cached instance; throws MWEPegasusClientRequest "Classname specified does
    // not match CIM_Object" when its class is neither this object's result class nor the
    // class of the instance held (an enumeration of a superclass holds a subclass instance).
    void SetCIMInstance(const cim::CIMInstance& instance);
    // A copy of the cached instance (empty when none), without fetching.
    cim::CIMInstance GetCachedInstance() const;

    bool IsDataValid() const;
    bool IsNotFound() const;

    // An extrinsic method's return value as unsigned 32 bits (booleans and integers of any
    // width); other types are traced as an internal failure and give 0xFFFFFFFF.
    static std::uint32_t CIMValueToUint32(const cim::CIMValue& value);

protected:
    // Where an Exec wrapper wants an out-parameter copied.
    struct OutParameter {
        const char* name;
        std::function<void(const cim::CIMValue&)> assign;
    };
    // The extrinsic-method pattern shared by every Exec... wrapper: lock, fetch, drop
    // reference parameters with an empty path and empty reference arrays, invokeMethod on
    // this object's path, null return -> MWEPegasusRuntimeError "Null return by
    // invokeMethod()", copy the named out-parameters (compared without case), return the
    // value through CIMValueToUint32.
    std::uint32_t InvokeExtrinsic(const char* methodName, std::vector<cim::CIMParamValue> in,
                                  const std::vector<OutParameter>& out);

    // An in-parameter of the CIM type that matches T.
    template <typename T> static cim::CIMParamValue In(const char* name, const T& value) {
        return cim::CIMParamValue(name, cim::CIMValue(value));
    }
    // A typed getter's answer: UA_S_OK when the property was read, UA_E_FAIL otherwise.
    template <typename T> MerrowReturnValue GetTypedProperty(const char* name, T& value) {
        return MerrowReturnValue(GetPropertyValue(name, value) ? MerrowReturnValue::UA_S_OK
                                                               : MerrowReturnValue::UA_E_FAIL);
    }
    // An out-parameter copied into `target` when the array's value converts to its type.
    template <typename T> static OutParameter Out(const char* name, T& target) {
        return {name, [&target](const cim::CIMValue& value) { CIMValueTo(value, target); }};
    }

private:
    enum class FetchCall { GetInstance, Associators, EnumerateInstances };

    bool findPropertyValue(const std::string& propertyName, cim::CIMValue& value);
    bool setCachedPropertyValue(const std::string& propertyName, const cim::CIMValue& value);
    void registerSelf();

    bool needsFetch(bool force, const CorvaneConnectionImpl& connection) const;
    void fetchFrom(UACIMClient& client, const cim::CIMObjectPath& start, FetchCall& call);
    void fetchByPath(UACIMClient& client, const cim::CIMObjectPath& start);
    void fetchByAssociation(UACIMClient& client, const cim::CIMObjectPath& start);
    void fetchByEnumeration(UACIMClient& client);
    void storeFetched(cim::CIMInstance instance);
    void markNotFound();

    bool isDataValidLocked() const;
    bool invalidateLocked();
    bool invalidateIfPathLocked(const cim::CIMObjectPath& path);
    bool holdsPath(const cim::CIMObjectPath& path) const;
    // holdsPath, or, for a container anchored directly on its object's path, that object even
    // while nothing is cached: a container invalidated after a delete request, or never read,
    // must still learn that its object is gone.
    bool standsFor(const cim::CIMObjectPath& path) const;
    std::uint32_t applyIndication(const UAIndication& indication);

    CorvaneConnectionWeakRef m_CorvaneConnection;
    // Given to the enumeration constructor for the subclass; nothing here reads it.
    std::uint8_t m_enumerationFlag = 0;
    CIM_ContainerAnchor m_anchor;
    bool m_notFound = false;
    std::optional<cim::CIMInstance> m_instance;
    // Set when this side wrote the instance to the array after it last read it. A change
    // indication then carries the array's instance as it was when the indication was sent,
    // which may predate a later write of ours; such an indication drops the cache instead,
    // and the next read asks the array.
    bool m_writtenSinceFetch = false;
    const MerrowProfileInterface* m_containingProfile;
    FetchTime m_lastFetch;
};

template <typename T> bool CIM_Object::GetPropertyValue(const std::string& propertyName, T& value) {
    cim::CIMValue found;
    return findPropertyValue(propertyName, found) && CIMValueTo(found, value);
}

template <typename T>
bool CIM_Object::SetPropertyValue(const std::string& propertyName, const T& value) {
    return setCachedPropertyValue(propertyName, cim::CIMValue(value));
}

} // namespace Merrow::UserAgent
