#include "VdsText.h"

#include <string_view>
#include <utility>

namespace orvraid {
namespace {

template <class Value, std::size_t N>
std::string lookup(const std::pair<Value, const char*> (&table)[N], Value value)
{
    for (const auto& [key, text] : table) {
        if (key == value)
            return text;
    }
    return "Unknown (" + std::to_string(static_cast<long long>(value)) + ")";
}

template <std::size_t N>
std::string joinSetFlags(const std::pair<ULONG, const char*> (&table)[N], ULONG flags,
                         std::string_view separator)
{
    std::string text;
    for (const auto& [flag, name] : table) {
        if ((flags & flag) == 0)
            continue;
        if (!text.empty())
            text += separator;
        text += name;
    }
    return text;
}

constexpr std::pair<int, const char*> kStatus[] = {
    {0, "Unknown"}, {1, "Online"},  {2, "Not Ready"},         {4, "Offline"},
    {5, "Failed"},  {8, "Removed"}, {9, "Partially Managed"},
};

constexpr std::pair<VDS_HEALTH, const char*> kHealth[] = {
    {VDS_H_UNKNOWN, "Unknown"},
    {VDS_H_HEALTHY, "Healthy"},
    {VDS_H_REBUILDING, "Rebuilding"},
    {VDS_H_STALE, "Stale"},
    {VDS_H_FAILING, "Failing"},
    {VDS_H_FAILING_REDUNDANCY, "Failing Redundancy"},
    {VDS_H_FAILED_REDUNDANCY, "Failed Redundancy"},
    {VDS_H_FAILED_REDUNDANCY_FAILING, "Failed Redundancy Failing"},
    {VDS_H_FAILED, "Failed"},
    {VDS_H_REPLACED, "Replaced"},
    {VDS_H_PENDING_FAILURE, "Pending Failure"},
    {VDS_H_DEGRADED, "Degraded"},
};

constexpr std::pair<VDS_LUN_TYPE, const char*> kLunType[] = {
    {VDS_LT_UNKNOWN, "Unknown"},     {VDS_LT_DEFAULT, "Default"},
    {VDS_LT_FAULT_TOLERANT, "Fault Tolerant"},
    {VDS_LT_NON_FAULT_TOLERANT, "Non Fault Tolerant"},
    {VDS_LT_SIMPLE, "Simple"},       {VDS_LT_SPAN, "Span"},
    {VDS_LT_STRIPE, "Stripe"},       {VDS_LT_MIRROR, "Mirror"},
    {VDS_LT_PARITY, "Parity"},       {VDS_LT_RAID2, "RAID-2"},
    {VDS_LT_RAID3, "RAID-3"},        {VDS_LT_RAID4, "RAID-4"},
    {VDS_LT_RAID5, "RAID-5"},        {VDS_LT_RAID6, "RAID-6"},
    {VDS_LT_RAID01, "RAID-01"},      {VDS_LT_RAID03, "RAID-03"},
    {VDS_LT_RAID05, "RAID-05"},      {VDS_LT_RAID10, "RAID-10"},
    {VDS_LT_RAID15, "RAID-15"},      {VDS_LT_RAID30, "RAID-30"},
    {VDS_LT_RAID50, "RAID-50"},      {VDS_LT_RAID51, "RAID-51"},
    {VDS_LT_RAID53, "RAID-53"},      {VDS_LT_RAID60, "RAID-60"},
    {VDS_LT_RAID61, "RAID-61"},
};

constexpr std::pair<VDS_PROVIDER_TYPE, const char*> kProviderType[] = {
    {VDS_PT_UNKNOWN, "Unknown"},
    {VDS_PT_SOFTWARE, "Software"},
    {VDS_PT_HARDWARE, "Hardware"},
    {VDS_PT_VIRTUALDISK, "Virtual Disk"},
};

constexpr std::pair<ULONG, const char*> kSubsystemFlags[] = {
    {VDS_SF_LUN_MASKING_CAPABLE, "LUN masking"},
    {VDS_SF_LUN_PLEXING_CAPABLE, "LUN plexing"},
    {VDS_SF_LUN_REMAPPING_CAPABLE, "LUN remapping"},
    {VDS_SF_DRIVE_EXTENT_CAPABLE, "drive extents"},
    {VDS_SF_SUPPORTS_FAULT_TOLERANT_LUNS, "fault tolerant LUNs"},
    {VDS_SF_SUPPORTS_NON_FAULT_TOLERANT_LUNS, "non fault tolerant LUNs"},
    {VDS_SF_SUPPORTS_SIMPLE_LUNS, "simple LUNs"},
    {VDS_SF_SUPPORTS_SPAN_LUNS, "span LUNs"},
    {VDS_SF_SUPPORTS_STRIPE_LUNS, "stripe LUNs"},
    {VDS_SF_SUPPORTS_MIRROR_LUNS, "mirror LUNs"},
    {VDS_SF_SUPPORTS_PARITY_LUNS, "parity LUNs"},
    {VDS_SF_SUPPORTS_AUTH_CHAP, "CHAP"},
    {VDS_SF_SUPPORTS_AUTH_MUTUAL_CHAP, "mutual CHAP"},
    {VDS_SF_SUPPORTS_SIMPLE_TARGET_CONFIG, "simple target configuration"},
    {VDS_SF_SUPPORTS_LUN_NUMBER, "LUN numbers"},
};

constexpr std::pair<ULONG, const char*> kDriveFlags[] = {
    {VDS_DRF_HOTSPARE, "HS"},
    {VDS_DRF_ASSIGNED, "A"},
    {VDS_DRF_UNASSIGNED, "U"},
    {VDS_DRF_HOTSPARE_IN_USE, "HU"},
    {VDS_DRF_HOTSPARE_STANDBY, "HB"},
};

// The provider's own texts for the connection of a managed array, in status order.
constexpr std::pair<LONG, const char*> kArrayStatus[] = {
    {0, "Connecting..."},        {1, "Not Reachable"},   {2, "Authorization Failed"},
    {3, "Connected"},            {4, "Lost Connection"},
};

}  // namespace

std::string statusText(int status) { return lookup(kStatus, status); }
std::string healthText(VDS_HEALTH health) { return lookup(kHealth, health); }
std::string lunTypeText(VDS_LUN_TYPE type) { return lookup(kLunType, type); }
std::string providerTypeText(VDS_PROVIDER_TYPE type) { return lookup(kProviderType, type); }
std::string subsystemFlagsText(ULONG flags) { return joinSetFlags(kSubsystemFlags, flags, ", "); }
std::string driveFlagsText(ULONG flags) { return joinSetFlags(kDriveFlags, flags, " "); }
std::string arrayStatusText(LONG status) { return lookup(kArrayStatus, status); }

}  // namespace orvraid
