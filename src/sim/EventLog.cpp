#include "sim/EventLog.h"

#include <chrono>

namespace Merrow::Sim {

namespace {

std::int64_t nowMilliseconds()
{
    using namespace std::chrono;
    return duration_cast<milliseconds>(system_clock::now().time_since_epoch()).count();
}

void touchRecord(ModelTransaction& transaction, const std::string& recordId)
{
    transaction.touch(ModelProjection::group(GroupKind::Event, recordId));
}

} // namespace

void EventLog::record(ModelTransaction& transaction, std::uint16_t severity, const char* category,
                      std::string message)
{
    ArrayState& state = transaction.state();
    SimLogRecord record;
    record.id = state.allocateId(IdPrefix::LogRecord);
    record.timeMs = nowMilliseconds();
    record.severity = severity;
    record.category = category;
    record.message = std::move(message);
    touchRecord(transaction, record.id);
    state.events.emplace(record.id, std::move(record));
    while (state.events.size() > kMaxRecords) {
        touchRecord(transaction, state.events.begin()->first);
        state.events.erase(state.events.begin());
    }
    // The log's record count.
    transaction.touch(GroupKind::Administration);
}

void EventLog::clear(ModelTransaction& transaction)
{
    ArrayState& state = transaction.state();
    for (const auto& [id, record] : state.events)
        touchRecord(transaction, id);
    state.events.clear();
    transaction.touch(GroupKind::Administration);
}

} // namespace Merrow::Sim
