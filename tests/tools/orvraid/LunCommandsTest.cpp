// The pieces of the LUN commands that need no provider: sizes as administrators type them,
// and the progress lines shown while the array's job runs.
#include "CommandError.h"
#include "LunCommands.h"

#include "vds/framework/CVdsAsyncObject.h"

#include <gtest/gtest.h>

#include <deque>
#include <sstream>

namespace {

using orvraid::LunCommands;

struct SizeCase {
    const char* text;
    std::uint64_t bytes;  // 0: refused as a mistake
};

constexpr std::uint64_t kMiB = 1024 * 1024;

const SizeCase kSizeCases[] = {
    {"100", 100 * kMiB},
    {"1000KB", 1024000},
    {"64kb", 65536},
    {"2GB", 2048 * kMiB},
    {"1tb", 1024 * 1024 * kMiB},
    {"0", 0},
    {"0GB", 0},
    {"", 0},
    {"GB", 0},
    {"12XB", 0},
    {"1.5GB", 0},
    {"-1", 0},
    {"99999999999999999999", 0},
    {"17179869184TB", 0},  // does not fit in 64 bits
};

TEST(LunCommandsTest, SizesAreMegabytesUnlessAUnitFollows)
{
    for (const SizeCase& row : kSizeCases) {
        SCOPED_TRACE(row.text);
        if (row.bytes == 0) {
            try {
                LunCommands::parseSize(row.text);
                ADD_FAILURE() << "accepted";
            } catch (const orvraid::CommandError& error) {
                EXPECT_EQ(error.code(), orvraid::ExitCode::SyntaxOrSelection);
            }
            continue;
        }
        EXPECT_EQ(LunCommands::parseSize(row.text), row.bytes);
    }
}

class Steps : public AsyncProgress {
public:
    explicit Steps(std::deque<AsyncProgressReading> readings) : m_readings(std::move(readings)) {}
    AsyncProgressReading Read() override
    {
        const AsyncProgressReading reading = m_readings.front();
        if (m_readings.size() > 1)
            m_readings.pop_front();
        return reading;
    }

private:
    std::deque<AsyncProgressReading> m_readings;
};

CComPtr<CComObject<CVdsAsyncObject>> asyncWith(std::deque<AsyncProgressReading> readings, HRESULT result)
{
    CComObject<CVdsAsyncObject>* async = nullptr;
    EXPECT_EQ(CComObject<CVdsAsyncObject>::CreateInstance(&async), S_OK);
    CComPtr<CComObject<CVdsAsyncObject>> held(async);
    held->SetInfo(GUID{}, VDS_ASYNCOUT_EXTENDLUN, 0, nullptr);
    held->SetResult(result);
    held->SetProgress(std::make_unique<Steps>(std::move(readings)), std::chrono::hours(1));
    return held;
}

TEST(LunCommandsTest, ProgressIsOnePlainLinePerChangeAndTheOutcomeIsTheJobs)
{
    auto async = asyncWith({{10, false, S_OK}, {10, false, S_OK}, {55, false, S_OK}, {100, true, S_OK}}, S_OK);
    std::ostringstream out;
    VDS_ASYNC_OUTPUT output{};
    EXPECT_EQ(LunCommands::waitShowingProgress(async.get(), out, false, output), S_OK);
    EXPECT_EQ(out.str(), "10 percent done\n55 percent done\n100 percent done\n");

    auto failing = asyncWith({{30, false, S_OK}, {100, true, E_FAIL}}, S_OK);
    std::ostringstream failed;
    EXPECT_EQ(LunCommands::waitShowingProgress(failing.get(), failed, false, output), E_FAIL);
    EXPECT_EQ(failed.str(), "30 percent done\n100 percent done\n");

    // Work the array finished at once shows no progress at all.
    auto instant = asyncWith({{100, true, S_OK}}, S_OK);
    std::ostringstream quiet;
    EXPECT_EQ(LunCommands::waitShowingProgress(instant.get(), quiet, true, output), S_OK);
    EXPECT_EQ(quiet.str(), "");
}

TEST(LunCommandsTest, OnATerminalTheProgressLineCountsUpInPlace)
{
    auto async = asyncWith({{20, false, S_OK}, {70, false, S_OK}, {100, true, S_OK}}, S_OK);
    std::ostringstream out;
    VDS_ASYNC_OUTPUT output{};
    EXPECT_EQ(LunCommands::waitShowingProgress(async.get(), out, true, output), S_OK);
    EXPECT_EQ(out.str(), "\r20 percent done\r70 percent done\r100 percent done\n");
}

}  // namespace
