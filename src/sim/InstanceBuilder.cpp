#include "sim/InstanceBuilder.h"

#include "cim/value/CIMProperty.h"

namespace Merrow::Sim {

InstanceBuilder::InstanceBuilder(const char* className) : m_instance(cim::CIMName(className))
{
    // Most instances fit; growing a vector of properties one by one costs more than the rest
    // of building the instance.
    m_instance.reserveProperties(16);
}

InstanceBuilder& InstanceBuilder::set(const char* name, cim::CIMValue value)
{
    m_instance.addProperty(cim::CIMProperty(name, std::move(value)));
    return *this;
}

} // namespace Merrow::Sim
