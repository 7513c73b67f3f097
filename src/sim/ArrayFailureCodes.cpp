#include "sim/ArrayFailureCodes.h"

#include <array>
#include <utility>

namespace Merrow::Sim {

namespace {

using Row = std::pair<std::uint32_t, const char*>;

// Texts exactly as the array firmware prints them, misspellings included.
constexpr std::array kRows{
    Row{ArrayFailure::ObjectNotFound, "Object not found"},
    Row{ArrayFailure::ObjectAlreadyAllocated, "Object already allocated"},
    Row{ArrayFailure::BadMessageFormat, "Bad Message format"},
    Row{ArrayFailure::InvalidControllerNumber, "Invalid Controller number"},
    Row{ArrayFailure::InvalidRequest, "Invalid Request"},
    Row{ArrayFailure::InvalidParameter, "Invalid Parameter"},
    Row{ArrayFailure::RequestTimedOut, "Request timed out"},
    Row{ArrayFailure::InvalidPoolNumber, "Invalid Pool number"},
    Row{ArrayFailure::NotEnoughSpace, "Not enough space available"},
    Row{ArrayFailure::NotEnoughDrives, "Not enough Drives available"},
    Row{ArrayFailure::OnlyOneDownDrive, "Only 1 Down Drive can be performed at any time"},
    Row{ArrayFailure::DeleteWhileReconfiguring,
        "Cannot Delete a Volume that is currently being Reconfigured"},
    Row{ArrayFailure::VolumeOperationInProgress,
        "Cannot start this Volume operation while another Volume operation is in process"},
    Row{ArrayFailure::VolumeBusy, "Volume is busy, try again later"},
    Row{ArrayFailure::VolumeSizeTooSmall, "Requested Volume size is too small"},
    Row{ArrayFailure::DeviceOffline, "Requested device is offline"},
    Row{ArrayFailure::InitiatorExists, "An Initiator with that name already exists"},
    Row{ArrayFailure::NoInitiatorName, "No Initiator name was specified"},
    Row{ArrayFailure::TargetNotFound, "Target Node does not exist"},
    Row{ArrayFailure::InitiatorNotFound, "Initiator does not exist"},
    Row{ArrayFailure::LunInUse, "LUN is in use"},
    Row{ArrayFailure::InitiatorAlreadyOnTarget, "Initiator is already associated with Target Node"},
    Row{ArrayFailure::InitiatorNotOnTarget, "Initiator is not associated with Target Node"},
    Row{ArrayFailure::VolumeDoesNotExist, "Volume does not exist"},
    Row{ArrayFailure::IllegalInitiatorName, "Illegal Intiator name"},
    Row{ArrayFailure::InvalidPrimaryAuthentication, "Invalid Primary Authentication method"},
    Row{ArrayFailure::InvalidSecondaryAuthentication, "Invalid Secondary Authentication method"},
    Row{ArrayFailure::InitiatorLoggedIn, "Initiator logged into controller"},
    Row{ArrayFailure::InvalidLagSpeed, "Invalid Physical Speed for LAG"},
    Row{ArrayFailure::InvalidLagEncapsulation, "Invalid Ethernet Encapsulation for LAG"},
    Row{ArrayFailure::InvalidLagAdminState, "Invalid Admin State for LAG"},
    Row{ArrayFailure::InvalidLagMtu, "Invalid MTU for LAG"},
    Row{ArrayFailure::InvalidPhysicalAdminState, "Invalid Physical Administrative State"},
    Row{ArrayFailure::InvalidIpAddress, "Invalid IP Address"},
    Row{ArrayFailure::InvalidSubnetMask, "Invalid Subnet Mask"},
    Row{ArrayFailure::InvalidVlanId, "Invalid VLAN ID"},
    Row{ArrayFailure::IpEntityOnLag, "IP Entity assigned to LAG Port error"},
    Row{ArrayFailure::PhysicalPortNotFound, "Physical Port does not exist"},
    Row{ArrayFailure::LagNotFound, "LAG Port does not exist"},
    Row{ArrayFailure::IpEntityNotFound, "IP Entity does not exist"},
    Row{ArrayFailure::IpEntityExists, "IP Entity already exists"},
    Row{ArrayFailure::PortAlreadyInLag, "Physical Port already associated with LAG Port"},
    Row{ArrayFailure::PortNotInLag, "Physical Port not associated with LAG Port"},
    Row{ArrayFailure::IllegalPortLagCombination, "Illegal Physical Port LAG Port combination"},
    Row{ArrayFailure::InvalidGateway, "Invalid Default Gateway IP Address"},
    Row{ArrayFailure::TooManyVolumes, "There are too many volumes in the sytem to create a new one"},
    Row{ArrayFailure::ChunkSizeNotAllowed, "Chunk size is not an allowed value"},
    Row{ArrayFailure::UnknownOrganization, "Volume organization is not known"},
    Row{ArrayFailure::NoVolumeName, "Volume name was not specified"},
    Row{ArrayFailure::DuplicateVolumeName, "Another volume already uses that volume name"},
    Row{ArrayFailure::VolumeNotFound, "Specified volume could not be found"},
    Row{ArrayFailure::ShadowVolume, "Requested operation can not be performed on a shadow volume"},
    Row{ArrayFailure::DeviceFailure, "Operation failed due to a device failure"},
    Row{ArrayFailure::InvalidStripeCount,
        "The requested stripe count is invalid for the specified volume organization"},
    Row{ArrayFailure::InvalidMirrorCount,
        "The requested mirror count is invalid for the specified volume organization"},
    Row{ArrayFailure::InvalidDevice, "The device specfied does not reference a valid device"},
    Row{ArrayFailure::DeviceInUse,
        "The requested operation can not be peformed on a device that is being used"},
    Row{ArrayFailure::InternalError, "Internal Error"},
};

} // namespace

std::string ArrayFailureCodes::text(std::uint32_t code)
{
    for (const auto& [number, text] : kRows) {
        if (number == code)
            return text;
    }
    return "Unknown Error";
}

} // namespace Merrow::Sim
