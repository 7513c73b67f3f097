#include "user_agent/services/Service_CorvaneSystemImpl.h"

#include "user_agent/services/Service_Controller.h"
#include "user_agent/services/Service_ControllerImpl.h"
#include "user_agent/services/Service_VolumeList.h"
#include "user_agent/services/Service_VolumeListImpl.h"
#include "user_agent/services/Service_PoolList.h"
#include "user_agent/services/Service_PoolListImpl.h"
#include "user_agent/services/Service_DiskList.h"
#include "user_agent/services/Service_DiskListImpl.h"
#include "user_agent/services/Service_iSCSI.h"
#include "user_agent/services/Service_AdvancedSettings.h"
#include "user_agent/services/Service_AdvancedSettingsImpl.h"
#include "user_agent/services/Service_ManagementPort.h"
#include "user_agent/services/Service_ManagementPortImpl.h"
#include "user_agent/services/Service_NetworkRouteList.h"
#include "user_agent/services/Service_NetworkRouteListImpl.h"
#include "user_agent/services/Service_SystemStatistics.h"
#include "user_agent/services/Service_SystemStatisticsImpl.h"
#include "user_agent/services/Service_Enclosure.h"
#include "user_agent/services/Service_EnclosureImpl.h"
#include "user_agent/services/Service_iSCSIImpl.h"
#include "user_agent/services/Service_TaskList.h"
#include "user_agent/services/Service_TaskListImpl.h"

namespace Merrow::UserAgent {

#define MERROW_SERVICE_CLASS Service_CorvaneSystem
#define MERROW_SERVICE_TABLE "user_agent/services/Service_CorvaneSystem.def"
#include "user_agent/services/ServiceImplDefinitions.inc"

} // namespace Merrow::UserAgent
