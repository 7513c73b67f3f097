#include "cim/listener/CIMIndicationConsumer.h"

namespace cim {

CIMIndicationConsumer::~CIMIndicationConsumer() = default;

} // namespace cim
