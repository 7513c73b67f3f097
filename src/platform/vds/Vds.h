// Everything the VDS layer declares against: records, constants, result codes and the
// provider's and the service's interfaces.
#pragma once

#include "platform/vds/VdsErrors.h"
#include "platform/vds/VdsInterfaces.h"
#include "platform/vds/VdsServiceInterfaces.h"
#include "platform/vds/VdsTypes.h"
