#pragma once

// The array's event history: what happened on the array, as the array records it. Every
// change that an administrator would want to find later adds one record; the history keeps
// the newest kMaxRecords and drops the oldest. New records reach clients as creation
// indications like any other new instance, dropped ones as deletions.

#include "sim/ArrayModel.h"

#include <cstddef>
#include <cstdint>
#include <string>

namespace Merrow::Sim {

namespace EventSeverity {
inline constexpr std::uint16_t Information = 2;
inline constexpr std::uint16_t Degraded = 3;
inline constexpr std::uint16_t Major = 5;
} // namespace EventSeverity

namespace EventCategory {
inline constexpr const char* Volume = "Volume";
inline constexpr const char* Disk = "Disk";
inline constexpr const char* Controller = "Controller";
inline constexpr const char* Security = "Security";
inline constexpr const char* Task = "Task";
} // namespace EventCategory

class EventLog {
public:
    static constexpr std::size_t kMaxRecords = 200;

    static void record(ModelTransaction& transaction, std::uint16_t severity, const char* category,
                       std::string message);
    // Empties the history ("ClearLog").
    static void clear(ModelTransaction& transaction);
};

} // namespace Merrow::Sim
