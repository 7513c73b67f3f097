#pragma once

#include "CIMTextPrinter.h"
#include "cim/listener/CIMIndicationConsumer.h"

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <ostream>

namespace orvcim {

// Prints every indication a CIMListener hands over as one block, headed by the path it was
// posted to, the sender and the MESSAGE ID.
//
// Threads: consumeIndication runs on the listener's threads; the mutex keeps blocks whole and
// guards the count. waitFor runs on the command's thread.
class IndicationPrinter : public cim::CIMIndicationConsumer {
public:
    explicit IndicationPrinter(std::ostream& out);

    void consumeIndication(const cim::CIMIndicationContext& context, const std::string& url,
                           const cim::CIMInstance& indication) override;

    // Waits until `count` indications have been printed or the time passes; true when they
    // have.
    bool waitFor(std::uint64_t count, std::chrono::milliseconds limit);
    std::uint64_t printed() const;

private:
    mutable std::mutex m_mutex; // guards m_out, m_printer and m_printed
    std::ostream& m_out;
    CIMTextPrinter m_printer;
    std::uint64_t m_printed = 0;
    std::condition_variable m_printedChanged;
};

} // namespace orvcim
