#include "user_agent/services/Service_EnclosureImpl.h"


namespace Merrow::UserAgent {

#define MERROW_SERVICE_CLASS Service_Enclosure
#define MERROW_SERVICE_TABLE "user_agent/services/Service_Enclosure.def"
#include "user_agent/services/ServiceImplDefinitions.inc"

} // namespace Merrow::UserAgent
