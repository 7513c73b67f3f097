#include "IndicationPrinter.h"

#include "cim/value/CIMInstance.h"

namespace orvcim {

IndicationPrinter::IndicationPrinter(std::ostream& out)
    : m_out(out), m_printer(out)
{
}

void IndicationPrinter::consumeIndication(const cim::CIMIndicationContext& context, const std::string& url,
                                          const cim::CIMInstance& indication)
{
    std::lock_guard lock(m_mutex);
    m_out << "indication to /CIMListener" << CIMTextPrinter::printable(url) << " from " << context.sender.address().to_string()
          << ", MESSAGE ID " << CIMTextPrinter::quoted(context.messageId) << '\n';
    cim::CIMInstance shown(indication);
    shown.setPath(cim::CIMObjectPath());
    m_printer.printInstance(shown);
    m_out.flush();
    ++m_printed;
    m_printedChanged.notify_all();
}

bool IndicationPrinter::waitFor(std::uint64_t count, std::chrono::milliseconds limit)
{
    std::unique_lock lock(m_mutex);
    return m_printedChanged.wait_for(lock, limit, [&] { return m_printed >= count; });
}

std::uint64_t IndicationPrinter::printed() const
{
    std::lock_guard lock(m_mutex);
    return m_printed;
}

} // namespace orvcim
