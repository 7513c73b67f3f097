#pragma once

#include <cstdint>
#include <iosfwd>
#include <string>

namespace Merrow::UserAgent {

// Identity of one service implementation in this process: a serial number drawn when the
// implementation is made, and the implementation's class name for people. Two ids are equal
// exactly when their serials are: the text is never compared. Handles on the same array
// object made by different queries have different implementations and so different ids.
class ServiceInstanceID {
public:
    // The id of a handle without implementation: serial 0, text "UNITIALIZED".
    ServiceInstanceID();
    ServiceInstanceID(std::uint64_t serial, std::string className);

    // A fresh serial from the process-wide counter; never 0.
    static std::uint64_t nextSerial();

    std::uint64_t getSerial() const { return m_serial; }
    const std::string& getClassName() const { return m_className; }

    friend bool operator==(const ServiceInstanceID& a, const ServiceInstanceID& b) {
        return a.m_serial == b.m_serial;
    }

private:
    std::uint64_t m_serial;
    std::string m_className;
};

// "<serial>:<class name>"
std::ostream& operator<<(std::ostream& out, const ServiceInstanceID& id);

} // namespace Merrow::UserAgent
