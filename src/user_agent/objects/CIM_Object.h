#pragma once

#include "cim/value/CIMInstance.h"
#include "cim/value/CIMParamValue.h"
#include "cim/value/CIMValue.h"
#include "user_agent/base/UALockableObject.h"
#include "user_agent/objects/CIM_AssociationSpec.h"
#include "user_agent/objects/CIM_ObjectContainerInterface.h"

#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace Merrow::UserAgent {

class MerrowProfileInterface;

// Exactly one CIM instance of the array, cached. Found by enumerating its class (kind 1),
// by a path (kinds 2 and 3: getInstance without steps, otherwise an association walk with
// associatorNames for every step but the last), or from another container's path (kind 4).
// Zero objects set the not-found flag; two or more throw MWEPegasusClientRequest.
//
// Time-based expiry (5000 ms) applies only when the connection is absent or indications are
// off for it; otherwise the cache stays until an indication or invalidation.
//
// Threads: any; every public operation holds the container's own lock (UALockableObject)
// for its whole run. Lock order: profile, then container, then the connection's client lock.
class CIM_Object : public CIM_ObjectContainerInterface, public UALockableObject {
public:
    static constexpr std::chrono::milliseconds kExpiry{5000};

    // Kind 1: the one instance of `resultClassName`, by enumeration.
    CIM_Object(const MerrowProfileInterface* containingProfile,
               const cim::CIMName& resultClassName, std::uint8_t flag = 0);
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

    // Fetches (without force), then reads the property; false when absent, null or not
    // convertible to T. Integers of any width convert when the value fits.
    template <typename T>
    bool GetPropertyValue(const std::string& propertyName, T& value);
    // Sets the property in the cached instance only; false when nothing is cached or the
    // property does not exist.
    template <typename T>
    bool SetPropertyValue(const std::string& propertyName, const T& value);

    // Replaces the cached instance; throws MWEPegasusClientRequest "Classname specified does
    // not match CIM_Object" when its class differs from this object's.
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
};

} // namespace Merrow::UserAgent
