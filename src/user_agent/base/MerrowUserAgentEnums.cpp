#include "user_agent/base/MerrowUserAgentEnums.h"

namespace Merrow::UserAgent::UAEnums {

namespace {

constexpr EnumRow row(std::int32_t value, const char* text, EnumSeverity severity) {
    return EnumRow{value, true, text, value, severity};
}

constexpr EnumRow normal(std::int32_t value, const char* text) {
    return row(value, text, EnumSeverity::Normal);
}

constexpr EnumRow error(std::int32_t value, const char* text) {
    return row(value, text, EnumSeverity::Error);
}

constexpr EnumRow warning(std::int32_t value, const char* text) {
    return row(value, text, EnumSeverity::Warning);
}

constexpr EnumRow undetermined(std::int32_t value, const char* text) {
    return row(value, text, EnumSeverity::Undetermined);
}

// Shown when the array reports it, never chosen by set() or setFromCIM().
constexpr EnumRow shownOnly(EnumRow base) {
    base.settable = false;
    return base;
}

constexpr EnumRow withCIM(EnumRow base, std::int32_t cimValue) {
    base.cimValue = cimValue;
    return base;
}

} // namespace

#define MW_UA_ENUM_ROWS(Name, ...)                                                                 \
    std::span<const EnumRow> Name::rows() const {                                                  \
        static constexpr EnumRow kRows[] = {__VA_ARGS__};                                          \
        return kRows;                                                                              \
    }

MW_UA_ENUM_ROWS(ActionType, normal(0, "ANY"), normal(1, "Show"), normal(2, "Set"), normal(3, "Do"))

MW_UA_ENUM_ROWS(AuthenticationMethod, normal(3, "NO_AUTHENTICATION"), normal(5, "CHAP"))

MW_UA_ENUM_ROWS(AuthenticationMethodInUse, undetermined(1, "UNKNOWN"),
                normal(2, "NO_AUTHENTICATION"), normal(3, "SRP"), normal(4, "CHAP"),
                normal(5, "KERBEROS"))

MW_UA_ENUM_ROWS(
    BindFailReason, undetermined(0, "Undefined"), normal(1, "Bind_OK"), error(2, "Bind_Error"),
    error(3, "RCP_Determination"), error(4, "Bind_Not_Possible"), error(5, "Split_RG"),
    error(6, "Non_Config_Params"), error(7, "insufficient_resources"),
    error(8, "system_class_data"), error(9, "pblade_info_unavailable"), error(10, "FW_Versions"),
    error(11, "SM_Size"), error(12, "BM_Size"), error(13, "SM_Dimms"), error(14, "BM_Dimms"),
    error(15, "Controller_Type"), error(16, "Product_ID"), error(17, "Starting_i8k"),
    error(18, "Merge_Bind"), error(19, "Slam_Dunk"), error(20, "Cache"),
    error(21, "Board_revision"), error(22, "SEP_module_error"),
    error(23, "Discovered_drives_mismatch"), error(24, "Incorrect_enclosure_cabling"),
    error(25, "Loss_of_peer_while_binding"), error(26, "Loss_of_comm_chan_while_binding"),
    error(27, "Loss_of_rmc_link_while_binding"), error(28, "Message_returned_failure_status"),
    error(29, "Fatal_error_on_other"), error(30, "Controller_states_dont_allow_bind"),
    error(31, "Moved_controller_in_restart_recovery"),
    error(32, "Unable_to_determine_seq_to_execute"), error(33, "Controllers_dont_agree_on_seq"))

MW_UA_ENUM_ROWS(BladeHealth, undetermined(0, "Undefined"), normal(1, "Healthy"),
                normal(2, "Not_present"), error(3, "Failed"), error(4, "Bugchecked"))

MW_UA_ENUM_ROWS(BladeState, undetermined(0, "Undefined"), normal(1, "Standalone"),
                normal(2, "Bound"), error(3, "Survivor"), error(4, "Not_Bound"), error(5, "Split"),
                error(6, "Failed"))

// Controller board models of the array family.
MW_UA_ENUM_ROWS(BladeType, undetermined(0, "Unknown"), normal(1, "CB100"), normal(2, "CB150"),
                normal(3, "CB200"), normal(4, "CB250"), normal(5, "CB300"))

MW_UA_ENUM_ROWS(DigestMethod, normal(1, "Other"), normal(2, "No_Digest"), normal(3, "CRC32C"),
                normal(4, "No_Secondary_Preference"))

MW_UA_ENUM_ROWS(DiskConnectionState, normal(1, "Normal"), error(2, "Controller_0_NotConnected"),
                error(3, "Controller_1_NotConnected"), error(4, "Both_Controllers_NotConnected"))

MW_UA_ENUM_ROWS(DiskState, shownOnly(undetermined(0, "UNKNOWN")), normal(2, "Normal"),
                error(6, "Exception"), error(7, "Failed"), error(9, "DownDriveInProgress"),
                error(12, "NotPresent"), error(13, "Unavailable"),
                error(14, "UnsupportedDriveType"), error(15, "Offline"))

MW_UA_ENUM_ROWS(DriveTechnology, undetermined(0, "UNKNOWN"), normal(1, "SSD"), normal(2, "HDD"))

MW_UA_ENUM_ROWS(DriveType, shownOnly(undetermined(0, "UNKNOWN")), normal(1, "SATA"),
                normal(2, "SAS"))

MW_UA_ENUM_ROWS(ExtentState, error(1, "Invalid"), normal(2, "Healthy"), warning(4, "Unhealthy"),
                warning(8, "Unhealthy_Rebuilding"), warning(16, "Unhealthy_Microrebuilding"))

MW_UA_ENUM_ROWS(FirmwareUpgradeState, undetermined(0, "Undefined"), normal(1, "Idle"),
                normal(2, "Preparing"), normal(3, "Downloading"), normal(4, "Activating"),
                normal(5, "Activated"), normal(6, "Complete"), normal(7, "Restarting"),
                error(8, "FAILED"), error(9, "ABORTED"))

MW_UA_ENUM_ROWS(FrameType, shownOnly(undetermined(0, "Unknown")), normal(1, "Ethernet"))

MW_UA_ENUM_ROWS(CvnBatteryPolicy, shownOnly(undetermined(0, "Undefined")),
                shownOnly(undetermined(1, "Unknown")), normal(2, "Disregard"),
                normal(3, "Stop_buffering"), normal(4, "Stop_reads_and_writes"),
                normal(5, "A_UPS_is_present"))

MW_UA_ENUM_ROWS(CvnBatteryState, undetermined(0, "Undefined"), undetermined(1, "Unknown"),
                error(2, "NotPresent"), normal(3, "Charging"), normal(4, "Charged"),
                error(5, "Failed"))

MW_UA_ENUM_ROWS(CvnFailoverPolicy, shownOnly(undetermined(0, "Unknown")), normal(1, "Disregard"),
                normal(2, "Write_Through"))

MW_UA_ENUM_ROWS(OperationalStatus, normal(0, "OK"), error(1, "FAILED"),
                warning(3, "NEEDS_ATTENTION"))

MW_UA_ENUM_ROWS(PersistenceSetting, undetermined(0, "Unknown"), normal(1, "Unchanged"),
                normal(2, "FactoryDefault"), normal(3, "MostlyDefault"), normal(4, "Replace"),
                normal(5, "ConditionalReplace"))

MW_UA_ENUM_ROWS(PoolType, shownOnly(undetermined(0, "Undefined")), normal(1, "Unavailable"),
                normal(2, "Spare"), normal(3, "Available"), normal(4, "Base"))

MW_UA_ENUM_ROWS(PortState, normal(2, "Connected"), warning(10, "Disconnected"))

MW_UA_ENUM_ROWS(RecurrencePeriodicity, shownOnly(normal(0, "Undefined")), normal(1, "None"),
                normal(2, "Seconds"), normal(3, "Minutes"), normal(4, "Hours"), normal(5, "Days"),
                normal(6, "Weeks"), normal(7, "Months"), normal(10, "Years"))

MW_UA_ENUM_ROWS(SataQueuingSupportType, normal(0, "Not_Supported"), normal(1, "Disabled"),
                normal(3, "Enabled"))

MW_UA_ENUM_ROWS(SessionType, normal(0, "Discovery"), normal(1, "Normal"))

MW_UA_ENUM_ROWS(ShowType, normal(0, "Normal"), normal(1, "Brief"), normal(2, "Detailed"))

MW_UA_ENUM_ROWS(StripeDepth, normal(32768, "32KB"), normal(65536, "64KB"), normal(131072, "128KB"),
                normal(262144, "256KB"), normal(524288, "512KB"), normal(1048576, "1024KB"),
                normal(2097152, "2048KB"))

MW_UA_ENUM_ROWS(SystemState, undetermined(0, "Undefined"), normal(1, "Standalone"),
                normal(2, "Bound"), error(3, "Survivor"), error(4, "Not_bound"), error(5, "Split"),
                error(6, "Failed"))

MW_UA_ENUM_ROWS(TaskState, shownOnly(undetermined(0, "Unknown")), normal(2, "Running"),
                normal(15, "Waiting"), warning(10, "Paused"), normal(11, "Scheduled"),
                normal(17, "Completed"), error(6, "Failed"), normal(14, "Cancelled"))

MW_UA_ENUM_ROWS(UAValueType, normal(0, "None"), withCIM(normal(1, "Integer"), 2),
                withCIM(normal(2, "IntegerList"), 3), withCIM(normal(3, "Float"), 4),
                withCIM(normal(4, "FloatList"), 5), withCIM(normal(5, "Boolean"), 6),
                withCIM(normal(6, "BooleanList"), 7), withCIM(normal(7, "DateTime"), 8),
                withCIM(normal(8, "DateTimeList"), 9), withCIM(normal(9, "StorageSize"), 10),
                withCIM(normal(10, "StorageSizeList"), 11), withCIM(normal(11, "String"), 12),
                withCIM(normal(12, "StringList"), 13), withCIM(normal(13, "UAEnum"), 14),
                withCIM(normal(14, "UAEnumList"), 15), withCIM(normal(15, "Service"), 16),
                withCIM(normal(16, "ServiceList"), 17))

MW_UA_ENUM_ROWS(VolumeBlockSize, normal(512, "512"), normal(4096, "4096"))

MW_UA_ENUM_ROWS(VolumeCompositionName, shownOnly(undetermined(0, "UNKNOWN")), normal(1, "JBOD"),
                normal(2, "Stripe"), normal(3, "Mirror"), normal(4, "StripeMirror"),
                normal(5, "Parity"))

MW_UA_ENUM_ROWS(VolumeState, undetermined(0, "UNKNOWN"), normal(2, "Normal"), warning(3, "Reduced"),
                error(6, "Failed"))

#undef MW_UA_ENUM_ROWS

} // namespace Merrow::UserAgent::UAEnums
