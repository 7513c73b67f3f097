#pragma once

// The failure numbers the simulated array answers from its extrinsic methods, with the
// array's own text for each. The numbers are the array's: the client library turns them
// into messages with its own copy of the full table, so only the rows this array can
// answer are kept here.

#include <cstdint>
#include <string>

namespace Merrow::Sim {

namespace ArrayFailure {
inline constexpr std::uint32_t Ok = 0;
// Not a failure: the array accepted the work and runs it as a job.
inline constexpr std::uint32_t JobStarted = 4096;

inline constexpr std::uint32_t ObjectNotFound = 11;
inline constexpr std::uint32_t ObjectAlreadyAllocated = 13;
inline constexpr std::uint32_t BadMessageFormat = 22;
inline constexpr std::uint32_t InvalidControllerNumber = 21;
inline constexpr std::uint32_t InvalidRequest = 23;
inline constexpr std::uint32_t InvalidParameter = 24;
inline constexpr std::uint32_t RequestTimedOut = 27;
inline constexpr std::uint32_t InvalidPoolNumber = 28;
inline constexpr std::uint32_t NotEnoughSpace = 30;
inline constexpr std::uint32_t NotEnoughDrives = 31;
inline constexpr std::uint32_t OnlyOneDownDrive = 41;
inline constexpr std::uint32_t DeleteWhileReconfiguring = 42;
inline constexpr std::uint32_t VolumeOperationInProgress = 43;
inline constexpr std::uint32_t VolumeBusy = 33;
inline constexpr std::uint32_t VolumeSizeTooSmall = 45;
inline constexpr std::uint32_t DeviceOffline = 46;
inline constexpr std::uint32_t InitiatorExists = 100;
inline constexpr std::uint32_t NoInitiatorName = 101;
inline constexpr std::uint32_t TargetNotFound = 103;
inline constexpr std::uint32_t InitiatorNotFound = 104;
inline constexpr std::uint32_t LunInUse = 122;
inline constexpr std::uint32_t InitiatorAlreadyOnTarget = 124;
inline constexpr std::uint32_t InitiatorNotOnTarget = 128;
inline constexpr std::uint32_t VolumeDoesNotExist = 130;
inline constexpr std::uint32_t IllegalInitiatorName = 131;
inline constexpr std::uint32_t InvalidPrimaryAuthentication = 134;
inline constexpr std::uint32_t InvalidSecondaryAuthentication = 135;
inline constexpr std::uint32_t InitiatorLoggedIn = 138;
inline constexpr std::uint32_t InvalidLagSpeed = 207;
inline constexpr std::uint32_t InvalidLagEncapsulation = 208;
inline constexpr std::uint32_t InvalidLagAdminState = 209;
inline constexpr std::uint32_t InvalidLagMtu = 211;
inline constexpr std::uint32_t InvalidPhysicalAdminState = 215;
inline constexpr std::uint32_t InvalidIpAddress = 216;
inline constexpr std::uint32_t InvalidSubnetMask = 217;
inline constexpr std::uint32_t InvalidVlanId = 218;
inline constexpr std::uint32_t IpEntityOnLag = 222;
inline constexpr std::uint32_t PhysicalPortNotFound = 223;
inline constexpr std::uint32_t LagNotFound = 224;
inline constexpr std::uint32_t IpEntityNotFound = 225;
inline constexpr std::uint32_t IpEntityExists = 227;
inline constexpr std::uint32_t PortAlreadyInLag = 231;
inline constexpr std::uint32_t PortNotInLag = 233;
inline constexpr std::uint32_t IllegalPortLagCombination = 236;
inline constexpr std::uint32_t InvalidGateway = 269;
inline constexpr std::uint32_t TooManyVolumes = 270;
inline constexpr std::uint32_t ChunkSizeNotAllowed = 271;
inline constexpr std::uint32_t UnknownOrganization = 272;
inline constexpr std::uint32_t NoVolumeName = 273;
inline constexpr std::uint32_t DuplicateVolumeName = 274;
inline constexpr std::uint32_t VolumeNotFound = 275;
inline constexpr std::uint32_t ShadowVolume = 276;
inline constexpr std::uint32_t DeviceFailure = 280;
inline constexpr std::uint32_t InvalidStripeCount = 282;
inline constexpr std::uint32_t InvalidMirrorCount = 283;
inline constexpr std::uint32_t InvalidDevice = 284;
inline constexpr std::uint32_t DeviceInUse = 285;
inline constexpr std::uint32_t InternalError = 998;
} // namespace ArrayFailure

class ArrayFailureCodes {
public:
    // The array's text for a failure number it answers; "Unknown Error" for any other.
    static std::string text(std::uint32_t code);
};

} // namespace Merrow::Sim
