#pragma once

#include "user_agent/base/EnumBase.h"

#include <cstdint>
#include <span>

// The states, types and policies that the array reports as numbers. Every class is an EnumBase
// over its own table (in MerrowUserAgentEnums.cpp); a default-constructed value is 0, which
// some classes do not define and therefore show as "_ERROR_" until set.
namespace Merrow::UserAgent::UAEnums {

#define MW_UA_ENUM_CLASS(Name)                                                                     \
    class Name : public EnumBase {                                                                 \
    public:                                                                                        \
        static constexpr const char* kClassName = #Name;                                           \
        explicit Name(std::int32_t value = 0) : EnumBase(value) {}                                 \
        const char* enumName() const override { return kClassName; }                               \
        friend bool operator==(const Name& left, const Name& right) {                              \
            return left.getValue() == right.getValue();                                            \
        }                                                                                          \
                                                                                                   \
    protected:                                                                                     \
        std::span<const EnumRow> rows() const override;                                            \
    }

MW_UA_ENUM_CLASS(ActionType);
MW_UA_ENUM_CLASS(AuthenticationMethod);
MW_UA_ENUM_CLASS(AuthenticationMethodInUse);
MW_UA_ENUM_CLASS(BindFailReason);
MW_UA_ENUM_CLASS(BladeHealth);
MW_UA_ENUM_CLASS(BladeState);
MW_UA_ENUM_CLASS(BladeType);
MW_UA_ENUM_CLASS(DigestMethod);
MW_UA_ENUM_CLASS(DiskConnectionState);
MW_UA_ENUM_CLASS(DiskState);
MW_UA_ENUM_CLASS(DriveTechnology);
MW_UA_ENUM_CLASS(DriveType);
MW_UA_ENUM_CLASS(ExtentState);
MW_UA_ENUM_CLASS(FirmwareUpgradeState);
MW_UA_ENUM_CLASS(FrameType);
MW_UA_ENUM_CLASS(CvnBatteryPolicy);
MW_UA_ENUM_CLASS(CvnBatteryState);
MW_UA_ENUM_CLASS(CvnFailoverPolicy);
MW_UA_ENUM_CLASS(OperationalStatus);
MW_UA_ENUM_CLASS(PersistenceSetting);
MW_UA_ENUM_CLASS(PoolType);
MW_UA_ENUM_CLASS(PortState);
MW_UA_ENUM_CLASS(RecurrencePeriodicity);
MW_UA_ENUM_CLASS(SataQueuingSupportType);
MW_UA_ENUM_CLASS(SessionType);
MW_UA_ENUM_CLASS(ShowType);
MW_UA_ENUM_CLASS(StripeDepth);
MW_UA_ENUM_CLASS(SystemState);
MW_UA_ENUM_CLASS(TaskState);
// The only class whose CIM numbers differ from its values: apart from "None", each CIM number
// is the value plus one.
MW_UA_ENUM_CLASS(UAValueType);
MW_UA_ENUM_CLASS(VolumeBlockSize);
MW_UA_ENUM_CLASS(VolumeCompositionName);
MW_UA_ENUM_CLASS(VolumeState);

#undef MW_UA_ENUM_CLASS

} // namespace Merrow::UserAgent::UAEnums
