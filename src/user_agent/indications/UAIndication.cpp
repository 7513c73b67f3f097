#include "user_agent/indications/UAIndication.h"

#include "cim/value/CIMValueError.h"
#include "trace/Trace.h"
#include "user_agent/base/CIMValueConversions.h"
#include "user_agent/base/MWExceptions.h"
#include "user_agent/base/UAException.h"

#include <utility>

namespace Merrow::UserAgent {

namespace {

using namespace Merrow::Trace;

constexpr const char* kIdentifierProperty = "IndicationIdentifier";
constexpr const char* kSourcePathProperty = "SourceInstanceModelPath";

[[noreturn]] void badlyFormed(const char* message) {
    throw MWException(message, std::string(), 0, std::string());
}

// Arrays send the identifier as decimal text; a typed number is taken as well. What does not
// read as a number counts as 0: the identifier only helps people match traces.
std::uint32_t identifierFrom(const cim::CIMValue& value) {
    return static_cast<std::uint32_t>(CIMValueOrTextToUint64(value).value_or(0));
}

} // namespace

UAIndication::UAIndication() = default;

UAIndication::UAIndication(std::string sourceHost, const cim::CIMInstance& indication)
    : m_sourceHost(std::move(sourceHost)), m_receiveTime(DateTime::now()),
      m_indication(indication) {
    readIdentifier();
    readSourcePath();
    m_sourceInstance = readEmbeddedInstance(
        indication, "SourceInstance", "WARNING - CIM_Indication received with no SourceInstance",
        "Badly formed exception received: SourceInstance not a CIMTYPE_OBJECT", m_sourcePath);
    m_previousInstance = readEmbeddedInstance(
        indication, "PreviousInstance",
        "WARNING - CIM_Indication received with no PreviousInstance",
        "Badly formed exception received: PreviousInstance not a CIMTYPE_OBJECT", m_sourcePath);
    m_type = typeOfClass(indication.getClassName());
    m_kind = IndicationKind_CIMObject;
}

UAIndication UAIndication::makeLostConnection(std::string sourceHost, std::string message) {
    UAIndication lost;
    lost.m_sourceHost = std::move(sourceHost);
    lost.m_receiveTime = DateTime::now();
    lost.m_kind = IndicationKind_LostConnection;
    lost.m_message = std::move(message);
    return lost;
}

bool UAIndication::FollowsOn(const cim::CIMInstance& held) const {
    if (!m_previousInstance.isInstance())
        return true;
    const cim::CIMInstance& previous = m_previousInstance.getInstance();
    if (previous.isUninitialized())
        return true;
    for (const cim::CIMProperty& property : previous.getProperties()) {
        const auto index = held.findProperty(property.getName());
        if (index != cim::CIMInstance::npos &&
            !(held.getProperty(index).getValue() == property.getValue()))
            return false;
    }
    return true;
}

void UAIndication::readIdentifier() {
    const auto index = m_indication.findProperty(kIdentifierProperty);
    if (index == cim::CIMInstance::npos)
        throw UAException(0, "cim_object is not a valid indication object");
    m_identifier = identifierFrom(m_indication.getProperty(index).getValue());
}

void UAIndication::readSourcePath() {
    const auto index = m_indication.findProperty(kSourcePathProperty);
    if (index == cim::CIMInstance::npos)
        badlyFormed("Badly formed exception received: no object path");
    const cim::CIMValue& value = m_indication.getProperty(index).getValue();
    if (value.getType() != cim::CIMType::String || value.isArray())
        badlyFormed("Badly formed exception received: object path not a string");
    if (value.isNull())
        badlyFormed("Badly formed exception received: no object path");
    try {
        m_sourcePath = cim::CIMObjectPath::parse(value.get<std::string>());
    } catch (const cim::CIMValueError& e) {
        throw MWException(std::string("Badly formed exception received: ") + e.what(),
                          std::string(), 0, std::string());
    }
    m_sourceClassName = m_sourcePath.getClassName().getString();
}

cim::CIMObject UAIndication::readEmbeddedInstance(const cim::CIMInstance& indication,
                                                  const char* property, const char* missingWarning,
                                                  const char* wrongTypeError,
                                                  const cim::CIMObjectPath& path) {
    const auto index = indication.findProperty(property);
    const bool absent =
        index == cim::CIMInstance::npos || indication.getProperty(index).getValue().isNull();
    if (absent) {
        MWTRACE(TV_WARNING, TC_ERROR_WARNING)
            << missingWarning << " - CIMObjectPath=" << path.toString() << MWENDREC;
        return cim::CIMObject();
    }
    const cim::CIMValue& value = indication.getProperty(index).getValue();
    if (!cim::isEmbeddedType(value.getType()) || value.isArray())
        badlyFormed(wrongTypeError);
    cim::CIMObject object = value.get<cim::CIMObject>();
    object.setPath(path);
    return object;
}

const char* UAIndication::typeName(std::int32_t type) {
    switch (type) {
    case CIMIndicationType_Creation:
        return "Creation";
    case CIMIndicationType_Deletion:
        return "Deletion";
    case CIMIndicationType_Modification:
        return "Modification";
    case CIMIndicationType_Refresh:
        return "Refresh";
    default:
        return "UNKNOWN";
    }
}

const char* UAIndication::kindName(std::int32_t kind) {
    switch (kind) {
    case IndicationKind_CIMObject:
        return "CIMObject";
    case IndicationKind_LostConnection:
        return "LostConnection";
    default:
        return "UNINITIALIZED";
    }
}

UAIndication::CIMIndicationType UAIndication::typeOfClass(const cim::CIMName& indicationClass) {
    if (indicationClass == cim::CIMName("CIM_InstCreation"))
        return CIMIndicationType_Creation;
    if (indicationClass == cim::CIMName("CIM_InstDeletion"))
        return CIMIndicationType_Deletion;
    if (indicationClass == cim::CIMName("CIM_InstModification"))
        return CIMIndicationType_Modification;
    return CIMIndicationType_Unknown;
}

} // namespace Merrow::UserAgent
