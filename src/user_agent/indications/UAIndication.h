#pragma once

#include "cim/value/CIMInstance.h"
#include "cim/value/CIMObject.h"
#include "cim/value/CIMObjectPath.h"
#include "user_agent/base/DateTime.h"

#include <cstdint>
#include <string>

namespace Merrow::UserAgent {

// One event for the client library: either an indication the array posted (a created,
// deleted or modified instance) or the notice, made locally, that the link to an array was
// lost. A value type: queues and service indications hold copies.
class UAIndication {
public:
    // What the array reported; the numbers are shared with the cached CIM containers.
    enum CIMIndicationType : std::int32_t {
        CIMIndicationType_Unknown = 0,
        CIMIndicationType_Creation = 1,
        CIMIndicationType_Deletion = 2,
        CIMIndicationType_Modification = 3,
        CIMIndicationType_Refresh = 4,
    };

    enum IndicationKind : std::int32_t {
        IndicationKind_Uninitialized = 0,
        // Posted by an array.
        IndicationKind_CIMObject = 1,
        // Made by a connection whose link failed.
        IndicationKind_LostConnection = 2,
    };

    // An empty indication (kind Uninitialized).
    UAIndication();

    // Reads an indication instance posted by the array at `sourceHost`. Throws UAException
    // (code 0) when it has no "IndicationIdentifier", and MWException when
    // "SourceInstanceModelPath", "SourceInstance" or "PreviousInstance" have the wrong shape.
    // A missing source or previous instance is only traced: creations carry no previous
    // instance and deletions may carry no source instance.
    UAIndication(std::string sourceHost, const cim::CIMInstance& indication);

    // The notice that the link to `sourceHost` failed.
    static UAIndication makeLostConnection(std::string sourceHost, std::string message);

    const std::string& GetSourceHost() const { return m_sourceHost; }
    const DateTime& GetReceiveTime() const { return m_receiveTime; }
    std::uint32_t GetIdentifier() const { return m_identifier; }
    const cim::CIMInstance& GetIndication() const { return m_indication; }
    // The null path when the indication carries none (lost-connection notices).
    const cim::CIMObjectPath& GetSourceObjectPath() const { return m_sourcePath; }
    // Empty (an uninitialised instance) when the indication carried none.
    const cim::CIMObject& GetPreviousInstance() const { return m_previousInstance; }
    const cim::CIMObject& GetSourceInstance() const { return m_sourceInstance; }
    // Whether a modification can be laid over `held`: true when it carries no previous
    // instance, or when every property of its previous instance that `held` has holds the
    // same value there. False means `held` was read after this change happened (a fresh
    // read overtook the indication on its way), so its source instance is older than what
    // is held and must not replace it.
    bool FollowsOn(const cim::CIMInstance& held) const;
    IndicationKind GetKind() const { return m_kind; }
    const std::string& GetMessage() const { return m_message; }
    CIMIndicationType GetType() const { return m_type; }
    const std::string& GetSourceClassName() const { return m_sourceClassName; }

    // "UNKNOWN", "Creation", "Deletion", "Modification", "Refresh"; "UNKNOWN" for others.
    static const char* typeName(std::int32_t type);
    // "UNINITIALIZED", "CIMObject", "LostConnection"; "UNINITIALIZED" for others.
    static const char* kindName(std::int32_t kind);
    // The type an indication class stands for: CIM_InstCreation, CIM_InstDeletion,
    // CIM_InstModification (compared without case), Unknown for any other.
    static CIMIndicationType typeOfClass(const cim::CIMName& indicationClass);

private:
    void readIdentifier();
    void readSourcePath();
    static cim::CIMObject readEmbeddedInstance(const cim::CIMInstance& indication,
                                               const char* property, const char* missingWarning,
                                               const char* wrongTypeError,
                                               const cim::CIMObjectPath& path);

    std::string m_sourceHost;
    DateTime m_receiveTime;
    std::uint32_t m_identifier = 0;
    cim::CIMInstance m_indication;
    cim::CIMObjectPath m_sourcePath;
    cim::CIMObject m_previousInstance;
    cim::CIMObject m_sourceInstance;
    IndicationKind m_kind = IndicationKind_Uninitialized;
    std::string m_message;
    CIMIndicationType m_type = CIMIndicationType_Unknown;
    std::string m_sourceClassName;
};

} // namespace Merrow::UserAgent
