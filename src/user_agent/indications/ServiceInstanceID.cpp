#include "user_agent/indications/ServiceInstanceID.h"

#include "user_agent/base/SerialCounter.h"

#include <ostream>
#include <utility>

namespace Merrow::UserAgent {

ServiceInstanceID::ServiceInstanceID() : m_serial(0), m_className("UNITIALIZED") {}

ServiceInstanceID::ServiceInstanceID(std::uint64_t serial, std::string className)
    : m_serial(serial), m_className(std::move(className)) {}

std::uint64_t ServiceInstanceID::nextSerial() {
    static SerialCounter<std::int64_t> counter;
    return static_cast<std::uint64_t>(counter.next());
}

std::ostream& operator<<(std::ostream& out, const ServiceInstanceID& id) {
    return out << id.getSerial() << ':' << id.getClassName();
}

} // namespace Merrow::UserAgent
