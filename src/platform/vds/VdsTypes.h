// VDS enumerations and records, with the names, values, field orders and sizes that VDS
// publishes. VDS allocates nothing in these records: strings and arrays in them are task
// memory (CoTaskMemAlloc) owned by whoever receives the record.
//
// Enumerations are plain (unscoped) with a 32-bit underlying type, as the C declarations
// of the platform, so the constant names are usable unqualified.
#pragma once

#include "platform/com/Guid.h"
#include "platform/com/Unknown.h"
#include "platform/com/WinTypes.h"

#include <cstddef>

using VDS_OBJECT_ID = GUID;

enum VDS_OBJECT_TYPE : INT {
    VDS_OT_UNKNOWN = 0,
    VDS_OT_PROVIDER = 1,
    VDS_OT_SUB_SYSTEM = 30,
    VDS_OT_CONTROLLER = 31,
    VDS_OT_DRIVE = 32,
    VDS_OT_LUN = 33,
    VDS_OT_LUN_PLEX = 34,
    VDS_OT_PORT = 35,
    VDS_OT_PORTAL = 36,
    VDS_OT_TARGET = 37,
    VDS_OT_PORTAL_GROUP = 38,
    VDS_OT_ASYNC = 100,
    VDS_OT_ENUM = 101,
};

// ---- provider --------------------------------------------------------------------------

enum VDS_PROVIDER_TYPE : INT {
    VDS_PT_UNKNOWN = 0,
    VDS_PT_SOFTWARE = 1,
    VDS_PT_HARDWARE = 2,
    VDS_PT_VIRTUALDISK = 3,
};

enum VDS_PROVIDER_FLAG : INT {
    VDS_PF_DYNAMIC = 0x1,
    VDS_PF_INTERNAL_HARDWARE_PROVIDER = 0x2,
    VDS_PF_ONE_DISK_ONLY_PER_PACK = 0x4,
    VDS_PF_ONE_PACK_ONLINE_ONLY = 0x8,
    VDS_PF_VOLUME_SPACE_MUST_BE_CONTIGUOUS = 0x10,
    VDS_PF_SUPPORT_MIRROR = 0x20,
    VDS_PF_SUPPORT_RAID5 = 0x40,
    VDS_PF_SUPPORT_DYNAMIC_1394 = 0x20000000,
    VDS_PF_SUPPORT_FAULT_TOLERANT = 0x40000000,
};

enum VDS_HWPROVIDER_TYPE : INT {
    VDS_HWT_UNKNOWN = 0,
    VDS_HWT_PCI_RAID = 1,
    VDS_HWT_FIBRE_CHANNEL = 2,
    VDS_HWT_ISCSI = 3,
    VDS_HWT_SAS = 4,
    VDS_HWT_HYBRID = 5,
};

// Bits of IVdsProviderSupport::GetVersionSupport.
enum VDS_VERSION_SUPPORT_FLAG : INT {
    VDS_VSF_1_0 = 0x1,
    VDS_VSF_1_1 = 0x2,
    VDS_VSF_2_0 = 0x4,
    VDS_VSF_2_1 = 0x8,
    VDS_VSF_3_0 = 0x10,
};

struct VDS_PROVIDER_PROP {
    VDS_OBJECT_ID id;
    LPWSTR pwszName;
    GUID guidVersionId;
    LPWSTR pwszVersion;
    VDS_PROVIDER_TYPE type;
    ULONG ulFlags;
    ULONG ulStripeSizeFlags;
    SHORT sRebuildPriority;
};

// ---- service ---------------------------------------------------------------------------

enum VDS_SERVICE_FLAG : INT {
    VDS_SVF_SUPPORT_DYNAMIC = 0x1,
    VDS_SVF_SUPPORT_FAULT_TOLERANT = 0x2,
    VDS_SVF_SUPPORT_GPT = 0x4,
    VDS_SVF_SUPPORT_DYNAMIC_1394 = 0x8,
    VDS_SVF_CLUSTER_SERVICE_CONFIGURED = 0x10,
    VDS_SVF_AUTO_MOUNT_OFF = 0x20,
    VDS_SVF_OS_UNINSTALL_VALID = 0x40,
    VDS_SVF_EFI = 0x80,
    VDS_SVF_SUPPORT_MIRROR = 0x100,
    VDS_SVF_SUPPORT_RAIDS = 0x200,
};

struct VDS_SERVICE_PROP {
    LPWSTR pwszVersion;
    ULONG ulFlags;
};

// ---- status and health -----------------------------------------------------------------

enum VDS_HEALTH : INT {
    VDS_H_UNKNOWN = 0,
    VDS_H_HEALTHY = 1,
    VDS_H_REBUILDING = 2,
    VDS_H_STALE = 3,
    VDS_H_FAILING = 4,
    VDS_H_FAILING_REDUNDANCY = 5,
    VDS_H_FAILED_REDUNDANCY = 6,
    VDS_H_FAILED_REDUNDANCY_FAILING = 7,
    VDS_H_FAILED = 8,
    VDS_H_REPLACED = 9,
    VDS_H_PENDING_FAILURE = 10,
    VDS_H_DEGRADED = 11,
};

enum VDS_TRANSITION_STATE : INT {
    VDS_TS_UNKNOWN = 0,
    VDS_TS_STABLE = 1,
    VDS_TS_EXTENDING = 2,
    VDS_TS_SHRINKING = 3,
    VDS_TS_RECONFIGING = 4,
    VDS_TS_RESTRIPING = 8,
};

// ---- subsystem -------------------------------------------------------------------------

enum VDS_SUB_SYSTEM_STATUS : INT {
    VDS_SSS_UNKNOWN = 0,
    VDS_SSS_ONLINE = 1,
    VDS_SSS_NOT_READY = 2,
    VDS_SSS_OFFLINE = 4,
    VDS_SSS_FAILED = 5,
    VDS_SSS_PARTIALLY_MANAGED = 9,
};

enum VDS_SUB_SYSTEM_FLAG : INT {
    VDS_SF_LUN_MASKING_CAPABLE = 0x1,
    VDS_SF_LUN_PLEXING_CAPABLE = 0x2,
    VDS_SF_LUN_REMAPPING_CAPABLE = 0x4,
    VDS_SF_DRIVE_EXTENT_CAPABLE = 0x8,
    VDS_SF_SUPPORTS_FAULT_TOLERANT_LUNS = 0x200,
    VDS_SF_SUPPORTS_NON_FAULT_TOLERANT_LUNS = 0x400,
    VDS_SF_SUPPORTS_SIMPLE_LUNS = 0x800,
    VDS_SF_SUPPORTS_SPAN_LUNS = 0x1000,
    VDS_SF_SUPPORTS_STRIPE_LUNS = 0x2000,
    VDS_SF_SUPPORTS_MIRROR_LUNS = 0x4000,
    VDS_SF_SUPPORTS_PARITY_LUNS = 0x8000,
    VDS_SF_SUPPORTS_AUTH_CHAP = 0x10000,
    VDS_SF_SUPPORTS_AUTH_MUTUAL_CHAP = 0x20000,
    VDS_SF_SUPPORTS_SIMPLE_TARGET_CONFIG = 0x40000,
    VDS_SF_SUPPORTS_LUN_NUMBER = 0x80000,
};

constexpr SHORT VDS_REBUILD_PRIORITY_MIN = 0;
constexpr SHORT VDS_REBUILD_PRIORITY_MAX = 16;

struct VDS_SUB_SYSTEM_PROP {
    VDS_OBJECT_ID id;
    LPWSTR pwszFriendlyName;
    LPWSTR pwszIdentification;
    ULONG ulFlags;
    ULONG ulStripeSizeFlags;
    VDS_SUB_SYSTEM_STATUS status;
    VDS_HEALTH health;
    SHORT sNumberOfInternalBuses;
    SHORT sMaxNumberOfSlotsEachBus;
    SHORT sMaxNumberOfControllers;
    SHORT sRebuildPriority;
};

enum VDS_MAINTENANCE_OPERATION : INT {
    BlinkLight = 1,
    BeepAlarm = 2,
    SpinDown = 3,
    SpinUp = 4,
    Ping = 5,
};

// ---- controller and port ---------------------------------------------------------------

enum VDS_CONTROLLER_STATUS : INT {
    VDS_CS_UNKNOWN = 0,
    VDS_CS_ONLINE = 1,
    VDS_CS_NOT_READY = 2,
    VDS_CS_OFFLINE = 4,
    VDS_CS_FAILED = 5,
    VDS_CS_REMOVED = 8,
};

struct VDS_CONTROLLER_PROP {
    VDS_OBJECT_ID id;
    LPWSTR pwszFriendlyName;
    LPWSTR pwszIdentification;
    VDS_CONTROLLER_STATUS status;
    VDS_HEALTH health;
    SHORT sNumberOfPorts;
};

enum VDS_PORT_STATUS : INT {
    VDS_PRS_UNKNOWN = 0,
    VDS_PRS_ONLINE = 1,
    VDS_PRS_NOT_READY = 2,
    VDS_PRS_OFFLINE = 4,
    VDS_PRS_FAILED = 5,
    VDS_PRS_REMOVED = 8,
};

struct VDS_PORT_PROP {
    VDS_OBJECT_ID id;
    LPWSTR pwszFriendlyName;
    LPWSTR pwszIdentification;
    VDS_PORT_STATUS status;
};

// ---- drive -----------------------------------------------------------------------------

enum VDS_DRIVE_STATUS : INT {
    VDS_DRS_UNKNOWN = 0,
    VDS_DRS_ONLINE = 1,
    VDS_DRS_NOT_READY = 2,
    VDS_DRS_OFFLINE = 4,
    VDS_DRS_FAILED = 5,
    VDS_DRS_REMOVED = 8,
};

enum VDS_DRIVE_FLAG : INT {
    VDS_DRF_HOTSPARE = 0x1,
    VDS_DRF_ASSIGNED = 0x2,
    VDS_DRF_UNASSIGNED = 0x4,
    VDS_DRF_HOTSPARE_IN_USE = 0x8,
    VDS_DRF_HOTSPARE_STANDBY = 0x10,
};

struct VDS_DRIVE_PROP {
    VDS_OBJECT_ID id;
    ULONGLONG ullSize;
    LPWSTR pwszFriendlyName;
    LPWSTR pwszIdentification;
    ULONG ulFlags;
    VDS_DRIVE_STATUS status;
    VDS_HEALTH health;
    SHORT sInternalBusNumber;
    SHORT sSlotNumber;
};

struct VDS_DRIVE_EXTENT {
    VDS_OBJECT_ID id;
    VDS_OBJECT_ID LunId;
    ULONGLONG ullSize;
    BOOL bUsed;
};

// ---- LUN and LUN plex ------------------------------------------------------------------

enum VDS_LUN_TYPE : INT {
    VDS_LT_UNKNOWN = 0,
    VDS_LT_DEFAULT = 1,
    VDS_LT_FAULT_TOLERANT = 2,
    VDS_LT_NON_FAULT_TOLERANT = 3,
    VDS_LT_SIMPLE = 10,
    VDS_LT_SPAN = 11,
    VDS_LT_STRIPE = 12,
    VDS_LT_MIRROR = 13,
    VDS_LT_PARITY = 14,
    VDS_LT_RAID2 = 15,
    VDS_LT_RAID3 = 16,
    VDS_LT_RAID4 = 17,
    VDS_LT_RAID5 = 18,
    VDS_LT_RAID6 = 19,
    VDS_LT_RAID01 = 20,
    VDS_LT_RAID03 = 21,
    VDS_LT_RAID05 = 22,
    VDS_LT_RAID10 = 23,
    VDS_LT_RAID15 = 24,
    VDS_LT_RAID30 = 25,
    VDS_LT_RAID50 = 26,
    VDS_LT_RAID51 = 27,
    VDS_LT_RAID53 = 28,
    VDS_LT_RAID60 = 29,
    VDS_LT_RAID61 = 30,
};

enum VDS_LUN_STATUS : INT {
    VDS_LS_UNKNOWN = 0,
    VDS_LS_ONLINE = 1,
    VDS_LS_NOT_READY = 2,
    VDS_LS_OFFLINE = 4,
    VDS_LS_FAILED = 5,
};

enum VDS_LUN_FLAG : INT {
    VDS_LF_LBN_REMAP_ENABLED = 0x1,
    VDS_LF_READ_BACK_VERIFY_ENABLED = 0x2,
    VDS_LF_WRITE_THROUGH_CACHING_ENABLED = 0x4,
    VDS_LF_HARDWARE_CHECKSUM_ENABLED = 0x8,
    VDS_LF_READ_CACHE_ENABLED = 0x10,
    VDS_LF_WRITE_CACHE_ENABLED = 0x20,
    VDS_LF_MEDIA_SCAN_ENABLED = 0x40,
    VDS_LF_CONSISTENCY_CHECK_ENABLED = 0x80,
    VDS_LF_SNAPSHOT = 0x100,
};

struct VDS_LUN_PROP {
    VDS_OBJECT_ID id;
    ULONGLONG ullSize;
    LPWSTR pwszFriendlyName;
    LPWSTR pwszIdentification;
    // ";"-separated iSCSI names or 16-hex-digit WWNs; "*" means every initiator, "" none.
    LPWSTR pwszUnmaskingList;
    ULONG ulFlags;
    VDS_LUN_TYPE type;
    VDS_LUN_STATUS status;
    VDS_HEALTH health;
    VDS_TRANSITION_STATE TransitionState;
    SHORT sRebuildPriority;
};

enum VDS_LUN_PLEX_TYPE : INT {
    VDS_LPT_UNKNOWN = 0,
    VDS_LPT_SIMPLE = 10,
    VDS_LPT_SPAN = 11,
    VDS_LPT_STRIPE = 12,
    VDS_LPT_PARITY = 14,
    VDS_LPT_RAID2 = 15,
    VDS_LPT_RAID3 = 16,
    VDS_LPT_RAID4 = 17,
    VDS_LPT_RAID5 = 18,
    VDS_LPT_RAID6 = 19,
    VDS_LPT_RAID03 = 21,
    VDS_LPT_RAID05 = 22,
    VDS_LPT_RAID10 = 23,
    VDS_LPT_RAID15 = 24,
    VDS_LPT_RAID30 = 25,
    VDS_LPT_RAID50 = 26,
    VDS_LPT_RAID53 = 28,
    VDS_LPT_RAID60 = 29,
};

enum VDS_LUN_PLEX_STATUS : INT {
    VDS_LPS_UNKNOWN = 0,
    VDS_LPS_ONLINE = 1,
    VDS_LPS_NOT_READY = 2,
    VDS_LPS_OFFLINE = 4,
    VDS_LPS_FAILED = 5,
};

enum VDS_LUN_PLEX_FLAG : INT {
    VDS_LPF_LBN_REMAP_ENABLED = 0x1,
};

struct VDS_LUN_PLEX_PROP {
    VDS_OBJECT_ID id;
    ULONGLONG ullSize;
    VDS_LUN_PLEX_TYPE type;
    VDS_LUN_PLEX_STATUS status;
    VDS_HEALTH health;
    VDS_TRANSITION_STATE TransitionState;
    ULONG ulFlags;
    ULONG ulStripeSize;
    SHORT sRebuildPriority;
};

// ---- hints -----------------------------------------------------------------------------

// Mask bits telling which hints of VDS_HINTS are given, in the order of its BOOL fields.
enum VDS_HINT_FLAG : INT {
    VDS_HINT_FASTCRASHRECOVERYREQUIRED = 0x1,
    VDS_HINT_MOSTLYREADS = 0x2,
    VDS_HINT_OPTIMIZEFORSEQUENTIALREADS = 0x4,
    VDS_HINT_OPTIMIZEFORSEQUENTIALWRITES = 0x8,
    VDS_HINT_REMAPENABLED = 0x10,
    VDS_HINT_READBACKVERIFYENABLED = 0x20,
    VDS_HINT_WRITETHROUGHCACHINGENABLED = 0x40,
    VDS_HINT_HARDWARECHECKSUMENABLED = 0x80,
    VDS_HINT_ISYANKABLE = 0x100,
};

struct VDS_HINTS {
    ULONGLONG ullHintMask;
    ULONGLONG ullExpectedMaximumSize;
    ULONG ulOptimalReadSize;
    ULONG ulOptimalReadAlignment;
    ULONG ulOptimalWriteSize;
    ULONG ulOptimalWriteAlignment;
    ULONG ulMaximumDriveCount;
    ULONG ulStripeSize;
    BOOL bFastCrashRecoveryRequired;
    BOOL bMostlyReads;
    BOOL bOptimizeForSequentialReads;
    BOOL bOptimizeForSequentialWrites;
    BOOL bRemapEnabled;
    BOOL bReadBackVerifyEnabled;
    BOOL bWriteThroughCachingEnabled;
    BOOL bHardwareChecksumEnabled;
    BOOL bIsYankable;
    SHORT sRebuildPriority;
};

// ---- LUN identification ----------------------------------------------------------------

constexpr ULONG VER_VDS_LUN_INFORMATION = 1;

enum VDS_STORAGE_BUS_TYPE : INT {
    VDSBusTypeUnknown = 0,
    VDSBusTypeScsi = 1,
    VDSBusTypeAtapi = 2,
    VDSBusTypeAta = 3,
    VDSBusType1394 = 4,
    VDSBusTypeSsa = 5,
    VDSBusTypeFibre = 6,
    VDSBusTypeUsb = 7,
    VDSBusTypeRAID = 8,
    VDSBusTypeiScsi = 9,
    VDSBusTypeSas = 10,
    VDSBusTypeSata = 11,
};

enum VDS_STORAGE_IDENTIFIER_CODE_SET : INT {
    VDSStorageIdCodeSetReserved = 0,
    VDSStorageIdCodeSetBinary = 1,
    VDSStorageIdCodeSetAscii = 2,
    VDSStorageIdCodeSetUtf8 = 3,
};

enum VDS_STORAGE_IDENTIFIER_TYPE : INT {
    VDSStorageIdTypeVendorSpecific = 0,
    VDSStorageIdTypeVendorId = 1,
    VDSStorageIdTypeEUI64 = 2,
    VDSStorageIdTypeFCPHName = 3,
    VDSStorageIdTypePortRelative = 4,
    VDSStorageIdTypeTargetPortGroup = 5,
    VDSStorageIdTypeLogicalUnitGroup = 6,
    VDSStorageIdTypeMD5LogicalUnitIdentifier = 7,
    VDSStorageIdTypeScsiNameString = 8,
};

enum VDS_INTERCONNECT_ADDRESS_TYPE : INT {
    VDS_IA_UNKNOWN = 0,
    VDS_IA_FCFS = 1,
    VDS_IA_FCPH = 2,
    VDS_IA_FCPH3 = 3,
    VDS_IA_MAC = 4,
    VDS_IA_SCSI = 5,
};

struct VDS_STORAGE_IDENTIFIER {
    VDS_STORAGE_IDENTIFIER_CODE_SET m_CodeSet;
    VDS_STORAGE_IDENTIFIER_TYPE m_Type;
    ULONG m_cbIdentifier;
    BYTE* m_rgbIdentifier;
};

struct VDS_STORAGE_DEVICE_ID_DESCRIPTOR {
    ULONG m_version;
    ULONG m_cIdentifiers;
    VDS_STORAGE_IDENTIFIER* m_rgIdentifiers;
};

struct VDS_INTERCONNECT {
    VDS_INTERCONNECT_ADDRESS_TYPE m_addressType;
    ULONG m_cbPort;
    BYTE* m_pbPort;
    ULONG m_cbAddress;
    BYTE* m_pbAddress;
};

struct VDS_LUN_INFORMATION {
    ULONG m_version;
    BYTE m_DeviceType;
    BYTE m_DeviceTypeModifier;
    BOOL m_bCommandQueueing;
    VDS_STORAGE_BUS_TYPE m_BusType;
    char* m_szVendorId;
    char* m_szProductId;
    char* m_szProductRevision;
    char* m_szSerialNumber;
    GUID m_diskSignature;
    VDS_STORAGE_DEVICE_ID_DESCRIPTOR m_deviceIdDescriptor;
    ULONG m_cInterconnects;
    VDS_INTERCONNECT* m_rgInterconnects;
};

// ---- iSCSI -----------------------------------------------------------------------------

enum VDS_IPADDRESS_TYPE : INT {
    VDS_IPT_TEXT = 0,
    VDS_IPT_IPV4 = 1,
    VDS_IPT_IPV6 = 2,
    VDS_IPT_EMPTY = 3,
};

struct VDS_IPADDRESS {
    VDS_IPADDRESS_TYPE type;
    ULONG ipv4Address;
    UCHAR ipv6Address[16];
    ULONG ulIpv6FlowInfo;
    ULONG ulIpv6ScopeId;
    WCHAR wszTextAddress[256 + 1];
    ULONG ulPort;
};

enum VDS_ISCSI_PORTAL_STATUS : INT {
    VDS_IPS_UNKNOWN = 0,
    VDS_IPS_ONLINE = 1,
    VDS_IPS_NOT_READY = 2,
    VDS_IPS_OFFLINE = 4,
    VDS_IPS_FAILED = 5,
};

enum VDS_ISCSI_AUTH_TYPE : INT {
    VDS_IAT_NONE = 0,
    VDS_IAT_CHAP = 1,
    VDS_IAT_MUTUAL_CHAP = 2,
};

using VDS_ISCSI_PORTALGROUP_TAG = USHORT;

struct VDS_ISCSI_TARGET_PROP {
    VDS_OBJECT_ID id;
    LPWSTR pwszIscsiName;
    LPWSTR pwszFriendlyName;
    BOOL bChapEnabled;
};

struct VDS_ISCSI_PORTALGROUP_PROP {
    VDS_OBJECT_ID id;
    VDS_ISCSI_PORTALGROUP_TAG tag;
};

struct VDS_ISCSI_PORTAL_PROP {
    VDS_OBJECT_ID id;
    VDS_IPADDRESS address;
    VDS_ISCSI_PORTAL_STATUS status;
};

struct VDS_ISCSI_SHARED_SECRET {
    UCHAR* pSharedSecret;
    ULONG ulSharedSecretSize;
};

struct VDS_ISCSI_IPSEC_KEY {
    UCHAR* pKey;
    ULONG ulKeySize;
};

// ---- asynchronous operations -----------------------------------------------------------

enum VDS_ASYNC_OUTPUT_TYPE : INT {
    VDS_ASYNCOUT_UNKNOWN = 0,
    VDS_ASYNCOUT_CREATELUN = 50,
    VDS_ASYNCOUT_ADDLUNPLEX = 52,
    VDS_ASYNCOUT_REMOVELUNPLEX = 53,
    VDS_ASYNCOUT_EXTENDLUN = 54,
    VDS_ASYNCOUT_SHRINKLUN = 55,
    VDS_ASYNCOUT_RECOVERLUN = 56,
    VDS_ASYNCOUT_CREATETARGET = 62,
    VDS_ASYNCOUT_CREATEPORTALGROUP = 63,
    VDS_ASYNCOUT_DELETETARGET = 64,
    VDS_ASYNCOUT_ADDPORTAL = 65,
    VDS_ASYNCOUT_REMOVEPORTAL = 66,
    VDS_ASYNCOUT_DELETEPORTALGROUP = 67,
};

struct VDS_ASYNC_OUTPUT {
    VDS_ASYNC_OUTPUT_TYPE type;
    union {
        // The software provider's arm; it sets the union's size.
        struct {
            ULONGLONG ullOffset;
            VDS_OBJECT_ID volumeId;
        } cp;
        struct {
            IUnknown* pLunUnk;
        } cl;
        struct {
            IUnknown* pTargetUnk;
        } ct;
        struct {
            IUnknown* pPortalGroupUnk;
        } cpg;
    };
};

// ---- notifications ---------------------------------------------------------------------

enum VDS_NOTIFICATION_TARGET_TYPE : INT {
    VDS_NTT_UNKNOWN = 0,
    VDS_NTT_SUB_SYSTEM = 30,
    VDS_NTT_CONTROLLER = 31,
    VDS_NTT_DRIVE = 32,
    VDS_NTT_LUN = 33,
    VDS_NTT_PORT = 35,
    VDS_NTT_PORTAL = 36,
    VDS_NTT_TARGET = 37,
    VDS_NTT_PORTAL_GROUP = 38,
};

constexpr ULONG VDS_NF_SUB_SYSTEM_ARRIVE = 101;
constexpr ULONG VDS_NF_SUB_SYSTEM_DEPART = 102;
constexpr ULONG VDS_NF_CONTROLLER_ARRIVE = 103;
constexpr ULONG VDS_NF_CONTROLLER_DEPART = 104;
constexpr ULONG VDS_NF_DRIVE_ARRIVE = 105;
constexpr ULONG VDS_NF_DRIVE_DEPART = 106;
constexpr ULONG VDS_NF_DRIVE_MODIFY = 107;
constexpr ULONG VDS_NF_LUN_ARRIVE = 108;
constexpr ULONG VDS_NF_LUN_DEPART = 109;
constexpr ULONG VDS_NF_LUN_MODIFY = 110;
constexpr ULONG VDS_NF_PORT_ARRIVE = 121;
constexpr ULONG VDS_NF_PORT_DEPART = 122;
constexpr ULONG VDS_NF_PORTAL_ARRIVE = 123;
constexpr ULONG VDS_NF_PORTAL_DEPART = 124;
constexpr ULONG VDS_NF_PORTAL_MODIFY = 125;
constexpr ULONG VDS_NF_TARGET_ARRIVE = 126;
constexpr ULONG VDS_NF_TARGET_DEPART = 127;
constexpr ULONG VDS_NF_TARGET_MODIFY = 128;
constexpr ULONG VDS_NF_PORTAL_GROUP_ARRIVE = 129;
constexpr ULONG VDS_NF_PORTAL_GROUP_DEPART = 130;
constexpr ULONG VDS_NF_PORTAL_GROUP_MODIFY = 131;
constexpr ULONG VDS_NF_SUB_SYSTEM_MODIFY = 151;
constexpr ULONG VDS_NF_SERVICE_OUT_OF_SYNC = 301;
constexpr ULONG VDS_NF_CONTROLLER_MODIFY = 350;
constexpr ULONG VDS_NF_CONTROLLER_REMOVED = 351;
constexpr ULONG VDS_NF_PORT_MODIFY = 352;
constexpr ULONG VDS_NF_PORT_REMOVED = 353;
constexpr ULONG VDS_NF_DRIVE_REMOVED = 354;

// The software provider's arms (volume, partition) give the union its size and 8-byte
// alignment; the hardware arms are an event and the id of the object concerned.
struct VDS_VOLUME_NOTIFICATION {
    ULONG ulEvent;
    VDS_OBJECT_ID volumeId;
    VDS_OBJECT_ID plexId;
    ULONG ulPercentCompleted;
};

struct VDS_PARTITION_NOTIFICATION {
    ULONG ulEvent;
    VDS_OBJECT_ID diskId;
    ULONGLONG ullOffset;
};

struct VDS_SUB_SYSTEM_NOTIFICATION {
    ULONG ulEvent;
    VDS_OBJECT_ID subSystemId;
};

struct VDS_CONTROLLER_NOTIFICATION {
    ULONG ulEvent;
    VDS_OBJECT_ID controllerId;
};

struct VDS_DRIVE_NOTIFICATION {
    ULONG ulEvent;
    VDS_OBJECT_ID driveId;
};

struct VDS_LUN_NOTIFICATION {
    ULONG ulEvent;
    VDS_OBJECT_ID LunId;
};

struct VDS_PORT_NOTIFICATION {
    ULONG ulEvent;
    VDS_OBJECT_ID portId;
};

struct VDS_PORTAL_NOTIFICATION {
    ULONG ulEvent;
    VDS_OBJECT_ID portalId;
};

struct VDS_TARGET_NOTIFICATION {
    ULONG ulEvent;
    VDS_OBJECT_ID targetId;
};

struct VDS_PORTAL_GROUP_NOTIFICATION {
    ULONG ulEvent;
    VDS_OBJECT_ID portalGroupId;
};

struct VDS_NOTIFICATION {
    VDS_NOTIFICATION_TARGET_TYPE objectType;
    union {
        VDS_VOLUME_NOTIFICATION Volume;
        VDS_PARTITION_NOTIFICATION Partition;
        VDS_SUB_SYSTEM_NOTIFICATION SubSystem;
        VDS_CONTROLLER_NOTIFICATION Controller;
        VDS_DRIVE_NOTIFICATION Drive;
        VDS_LUN_NOTIFICATION Lun;
        VDS_PORT_NOTIFICATION Port;
        VDS_PORTAL_NOTIFICATION Portal;
        VDS_TARGET_NOTIFICATION Target;
        VDS_PORTAL_GROUP_NOTIFICATION PortalGroup;
    };
};

// ---- layouts VDS depends on (64-bit) ---------------------------------------------------

static_assert(sizeof(void*) == 8, "the VDS record layouts below are those of 64-bit builds");

static_assert(sizeof(VDS_NOTIFICATION) == 48);
static_assert(offsetof(VDS_NOTIFICATION, SubSystem) == 8);
static_assert(offsetof(VDS_NOTIFICATION, SubSystem.ulEvent) == 8);
static_assert(offsetof(VDS_NOTIFICATION, SubSystem.subSystemId) == 12);
static_assert(offsetof(VDS_NOTIFICATION, Controller.controllerId) == 12);
static_assert(offsetof(VDS_NOTIFICATION, Drive.driveId) == 12);
static_assert(offsetof(VDS_NOTIFICATION, Lun.LunId) == 12);
static_assert(offsetof(VDS_NOTIFICATION, Port.portId) == 12);
static_assert(offsetof(VDS_NOTIFICATION, Portal.portalId) == 12);
static_assert(offsetof(VDS_NOTIFICATION, Target.targetId) == 12);
static_assert(offsetof(VDS_NOTIFICATION, PortalGroup.portalGroupId) == 12);

static_assert(sizeof(VDS_SUB_SYSTEM_PROP) == 56);
static_assert(sizeof(VDS_DRIVE_EXTENT) == 48);
static_assert(offsetof(VDS_DRIVE_EXTENT, bUsed) == 40);
static_assert(sizeof(VDS_LUN_PROP) == 72);
static_assert(offsetof(VDS_LUN_PROP, sRebuildPriority) == 68);
static_assert(sizeof(VDS_HINTS) == 80);
static_assert(offsetof(VDS_HINTS, sRebuildPriority) == 76);

static_assert(sizeof(VDS_ASYNC_OUTPUT) == 32);
static_assert(offsetof(VDS_ASYNC_OUTPUT, cl.pLunUnk) == 8);
static_assert(offsetof(VDS_ASYNC_OUTPUT, ct.pTargetUnk) == 8);
static_assert(offsetof(VDS_ASYNC_OUTPUT, cpg.pPortalGroupUnk) == 8);
