// An IVdsAsync whose request the array still runs as a job: QueryStatus reports the job's
// percentage, Wait returns only once the job ended, and a job that failed turns the
// outcome into its failure and hands out no created object.
#include "vds/framework/CVdsAsyncObject.h"

#include "TestVdsObjects.h"

#include <gtest/gtest.h>

#include <atomic>
#include <deque>
#include <thread>

namespace {

// Answers the readings it was given, in order, then the last one for ever.
class ScriptedProgress : public AsyncProgress {
public:
    ScriptedProgress(std::deque<AsyncProgressReading> readings, std::atomic<int>& reads)
        : m_readings(std::move(readings)), m_reads(reads)
    {
    }

    AsyncProgressReading Read() override
    {
        ++m_reads;
        const AsyncProgressReading reading = m_readings.front();
        if (m_readings.size() > 1)
            m_readings.pop_front();
        return reading;
    }

private:
    std::deque<AsyncProgressReading> m_readings;
    std::atomic<int>& m_reads;
};

constexpr AsyncProgressReading running(ULONG percent) { return {percent, false, S_OK}; }
constexpr AsyncProgressReading kDone{100, true, S_OK};
constexpr AsyncProgressReading kFailed{100, true, E_FAIL};
constexpr std::chrono::hours kNoLimit{1};

CComPtr<CComObject<CVdsAsyncObject>> makeCreate(IUnknown* created)
{
    CComObject<CVdsAsyncObject>* async = nullptr;
    EXPECT_EQ(CComObject<CVdsAsyncObject>::CreateInstance(&async), S_OK);
    CComPtr<CComObject<CVdsAsyncObject>> held(async);
    held->SetInfo(GUID{7, 7, 7, {}}, VDS_ASYNCOUT_CREATELUN, VDS_OT_LUN, nullptr);
    held->SetResult(S_OK);
    held->SetCreated(created);
    return held;
}

} // namespace

TEST(CVdsAsyncProgressTest, QueryStatusFollowsTheJobAndWaitReturnsWhenItEnded)
{
    auto created = TestLun::Make();
    auto async = makeCreate(static_cast<ITestVdsObject*>(created.get()));
    std::atomic<int> reads{0};
    async->SetProgress(std::make_unique<ScriptedProgress>(
                           std::deque<AsyncProgressReading>{running(0), running(40), running(40),
                                                            running(90), kDone},
                           reads),
                       kNoLimit);
    HRESULT hr = E_FAIL;
    ULONG percent = 0;
    ASSERT_EQ(async->QueryStatus(&hr, &percent), S_OK);
    EXPECT_EQ(percent, 0u);
    EXPECT_EQ(hr, S_OK);
    ASSERT_EQ(async->QueryStatus(&hr, &percent), S_OK);
    EXPECT_EQ(percent, 40u);

    VDS_ASYNC_OUTPUT out{};
    ASSERT_EQ(async->Wait(&hr, &out), S_OK);
    EXPECT_EQ(hr, S_OK);
    EXPECT_EQ(reads.load(), 5) << "Wait read until the job ended";
    ASSERT_EQ(out.cl.pLunUnk, static_cast<ITestVdsObject*>(created.get()));
    out.cl.pLunUnk->Release();
    ASSERT_EQ(async->QueryStatus(&hr, &percent), S_OK);
    EXPECT_EQ(percent, 100u);
    EXPECT_EQ(reads.load(), 5) << "an ended job is not asked again";
}

TEST(CVdsAsyncProgressTest, AFailedJobFailsTheOperationAndHandsOutNothing)
{
    auto created = TestLun::Make();
    auto async = makeCreate(static_cast<ITestVdsObject*>(created.get()));
    const LONG references = created->RefCount();
    std::atomic<int> reads{0};
    async->SetProgress(std::make_unique<ScriptedProgress>(
                           std::deque<AsyncProgressReading>{running(10), kFailed}, reads),
                       kNoLimit);
    HRESULT hr = S_OK;
    VDS_ASYNC_OUTPUT out{};
    ASSERT_EQ(async->Wait(&hr, &out), S_OK);
    EXPECT_EQ(hr, E_FAIL);
    EXPECT_EQ(out.type, VDS_ASYNCOUT_CREATELUN);
    EXPECT_EQ(out.cl.pLunUnk, nullptr);
    EXPECT_LT(created->RefCount(), references) << "the failed create let go of its object";
    ULONG percent = 0;
    ASSERT_EQ(async->QueryStatus(&hr, &percent), S_OK);
    EXPECT_EQ(hr, E_FAIL);
    EXPECT_EQ(percent, 100u);
}

TEST(CVdsAsyncProgressTest, AJobThatNeverEndsStopsTheWaitAtItsLimit)
{
    std::atomic<int> reads{0};
    auto async = makeCreate(nullptr);
    async->SetProgress(std::make_unique<ScriptedProgress>(
                           std::deque<AsyncProgressReading>{running(150)}, reads),
                       std::chrono::milliseconds(0));
    HRESULT hr = E_FAIL;
    ULONG percent = 0;
    ASSERT_EQ(async->QueryStatus(&hr, &percent), S_OK);
    EXPECT_EQ(percent, 99u) << "a running job never shows as complete";
    VDS_ASYNC_OUTPUT out{};
    ASSERT_EQ(async->Wait(&hr, &out), S_OK);
    EXPECT_EQ(hr, S_OK) << "the array accepted the request; its job is still running";
    ASSERT_EQ(async->QueryStatus(&hr, &percent), S_OK);
    EXPECT_EQ(percent, 99u);
}

TEST(CVdsAsyncProgressTest, QueryStatusAnswersWhileAnotherThreadWaits)
{
    std::atomic<bool> finish{false};
    class Gate : public AsyncProgress {
    public:
        explicit Gate(std::atomic<bool>& finish) : m_finish(finish) {}
        AsyncProgressReading Read() override { return m_finish ? kDone : running(5); }

    private:
        std::atomic<bool>& m_finish;
    };
    auto async = makeCreate(nullptr);
    async->SetProgress(std::make_unique<Gate>(finish), kNoLimit);
    std::thread waiter([&] {
        HRESULT hr = E_FAIL;
        VDS_ASYNC_OUTPUT out{};
        EXPECT_EQ(async->Wait(&hr, &out), S_OK);
        EXPECT_EQ(hr, S_OK);
    });
    HRESULT hr = E_FAIL;
    ULONG percent = 0;
    // Answered although Wait is blocked on the same object.
    ASSERT_EQ(async->QueryStatus(&hr, &percent), S_OK);
    EXPECT_EQ(percent, 5u);
    finish = true;
    waiter.join();
    ASSERT_EQ(async->QueryStatus(&hr, &percent), S_OK);
    EXPECT_EQ(percent, 100u);
}
