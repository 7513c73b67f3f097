#pragma once

#include "user_agent/base/MerrowReturnValue.h"
#include "user_agent/indications/MerrowService.h"

#include <atomic>
#include <ostream>
#include <string>

namespace corvane {

using Merrow::UserAgent::MerrowReturnValue;
using Merrow::UserAgent::MerrowService;

// Follows the job the array started for a volume (creation, growth, reconfiguration): the
// library never waits for jobs, so the tool reads the task's state and percentage itself.
// On a terminal the progress is a bar redrawn in place; otherwise one line per change.
// Progress goes to the error stream so that --json output stays one document.
class JobProgress {
public:
    JobProgress(std::ostream& err, bool terminal, const std::atomic<bool>& stop)
        : m_err(err), m_terminal(terminal), m_stop(stop) {}

    // The running job on `objectName` (a volume's name): reported once, or followed to its
    // end when `wait` is set. A job that failed is UA_E_FAIL naming why; no job running is
    // success (the array may have finished at once).
    MerrowReturnValue follow(const MerrowService& system, const std::string& objectName, bool wait);

private:
    MerrowReturnValue findJob(const MerrowService& system, const std::string& objectName,
                              MerrowService& task);
    MerrowReturnValue waitFor(const MerrowService& task);
    void show(const std::string& taskId, unsigned percent);

    std::ostream& m_err;
    bool m_terminal;
    const std::atomic<bool>& m_stop;
    int m_shown = -1;
};

} // namespace corvane
