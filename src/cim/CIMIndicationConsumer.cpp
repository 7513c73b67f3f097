#include "cim/CIMIndicationConsumer.h"

namespace cim {

CIMIndicationConsumer::~CIMIndicationConsumer() = default;

} // namespace cim
