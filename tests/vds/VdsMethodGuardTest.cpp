#include "vds/framework/VdsMethodGuard.h"

#include "platform/vds/VdsErrors.h"

#include "TraceCapture.h"

#include <gtest/gtest.h>

#include <new>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

constexpr const char* kCaught = "COrvLun::Extend VDS Provider run-time exception caught!";

std::vector<std::string> errorsOf(const std::vector<TraceCapture::Record>& records)
{
    std::vector<std::string> errors;
    for (const TraceCapture::Record& record : records) {
        if (record.category == "TC.VDS.ObjectBase" && record.verbosity <= 2)
            errors.push_back(record.message);
    }
    return errors;
}

} // namespace

TEST(VdsMethodGuardTest, TheBodysAnswerPassesThrough)
{
    EXPECT_EQ(GuardVdsMethod("COrvLun::Extend", E_FAIL, [] { return S_FALSE; }), S_FALSE);
    EXPECT_EQ(GuardVdsMethod("COrvLun::Extend", E_FAIL, [] { return VDS_E_OBJECT_NOT_FOUND; }),
              VDS_E_OBJECT_NOT_FOUND);
}

// Whatever the body throws, the method answers its own failure value; only exceptions
// that are not std::exception are errors in the trace.
TEST(VdsMethodGuardTest, ExceptionsBecomeTheMethodsFailure)
{
    struct Case {
        const char* what;
        void (*thrower)();
        HRESULT onException;
        bool tracedAsError;
    };
    const Case cases[] = {
        {"std::runtime_error", [] { throw std::runtime_error("array gone"); }, E_FAIL, false},
        {"std::bad_alloc", [] { throw std::bad_alloc(); }, E_UNEXPECTED, false},
        {"an int", [] { throw 42; }, E_UNEXPECTED, true},
        {"a C string", [] { throw "text"; }, E_FAIL, true},
    };
    for (const Case& row : cases) {
        SCOPED_TRACE(row.what);
        TraceCaptureScope traces;
        const HRESULT hr = GuardVdsMethod("COrvLun::Extend", row.onException, [&] {
            row.thrower();
            return S_OK;
        });
        EXPECT_EQ(hr, row.onException);
        const std::vector<std::string> errors = errorsOf(TraceCapture::instance().take());
        EXPECT_EQ(errors, row.tracedAsError ? std::vector<std::string>{kCaught}
                                            : std::vector<std::string>{});
    }
}
