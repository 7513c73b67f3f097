#include "sim/InstanceBuilder.h"

#include "cim/CIMProperty.h"

namespace Merrow::Sim {

InstanceBuilder::InstanceBuilder(const char* className) : m_instance(cim::CIMName(className))
{
    m_instance.reserveProperties(24);
}

InstanceBuilder& InstanceBuilder::set(const char* name, cim::CIMValue value)
{
    m_instance.addProperty(cim::CIMProperty(name, std::move(value)));
    return *this;
}

} // namespace Merrow::Sim
