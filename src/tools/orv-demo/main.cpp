// orv-demo: reads capacities, dates and states the way an administrator types them and shows
// how the client library reports them, with the trace of the work on standard output.
//
//   orv-demo [text ...]     each text is tried as a size, a date/time and a disk state
#include "trace/Trace.h"
#include "user_agent/base/DateTime.h"
#include "user_agent/base/MWExceptions.h"
#include "user_agent/base/MerrowReturnValue.h"
#include "user_agent/base/MerrowUserAgentEnums.h"
#include "user_agent/base/StorageSize.h"

#include <iostream>
#include <string>
#include <vector>

using namespace Merrow::UserAgent;

namespace {

template <typename Parse>
MerrowReturnValue tryParse(const char* what, const std::string& text, Parse parse) {
    MWSCOPE(what);
    MerrowReturnValue rc;
    std::string shown;
    try {
        shown = parse(text);
    } catch (const MWExceptionAbstractClass& e) {
        MWTRACE(3, Merrow::Trace::TC_ERROR_EXCEPTION_CAUGHT)
            << e.className() << ": " << e.what() << MWENDREC;
        shown = std::string("rejected (") + e.what() + ")";
        rc = MerrowReturnValue(MerrowReturnValue::UA_E_DATACONVERSTIONERROR);
    }
    std::cout << "  " << what << ": " << shown << "\n";
    return rc;
}

void show(const std::string& text) {
    MWSCOPE("");
    std::cout << "'" << text << "'\n";
    tryParse("size", text, [](const std::string& t) { return StorageSize(t).toString(); });
    tryParse("date", text, [](const std::string& t) { return DateTime(t).toString(); });
    const MerrowReturnValue rc = tryParse("disk state", text, [](const std::string& t) {
        UAEnums::DiskState state;
        state.set(t);
        return state.toString();
    });
    MWTRACE(4, Merrow::Trace::TC_INFO) << "last result " << rc << MWENDREC;
}

} // namespace

int main(int argc, char** argv) {
    std::vector<std::string> inputs(argv + 1, argv + argc);
    if (inputs.empty())
        inputs = {"1,536 MB", "700 bytes", "2026-12-06 12:30:15.250", "norm", "c", "12 XB"};
    for (const auto& text : inputs)
        show(text);

    std::cout << "\nWhat the array's refusals look like:\n";
    for (int failureCode : {274, 30, 282, 25 + 32768, 12345})
        std::cout << "  " << failureCode << ": "
                  << MerrowReturnValue::fromArrayResult(failureCode).getMessage() << "\n";
    return 0;
}
