#include "CapturingSink.h"

#include "trace/Trace.h"

#include <gtest/gtest.h>

#include <regex>
#include <thread>

using namespace Merrow::Trace;

namespace {

// Every thread stream of this test program writes here: the sink is made current before
// main runs, so it is the one the stream prototype takes.
CapturingSink g_capture;
const bool g_installed = (setCurrentTraceSink(&g_capture), true);

class TracedService : public TraceAwareClass {
public:
    std::string className() const override { return "Service_DiskListImpl"; }
    void description(std::string& text) const override { text = "//array/root/snia:Disk.Id=\"7\""; }

    void listDisks() { MWSCOPE_OBJ(this, "all=true"); }
};

void innerFunction() {
    MWSCOPE("inner");
    MWTRACE(3, TC_ERROR_EXCEPTION_CAUGHT) << "caught " << 42 << MWENDREC;
}

void outerFunction() {
    MWSCOPE("outer");
    innerFunction();
}

class TraceStreamTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(g_installed);
        g_capture.setCeiling(5);
        g_capture.take();
    }
};

} // namespace

TEST_F(TraceStreamTest, KindZeroCompletesTheRecordAndRestoresDefaults) {
    TraceStreamClass stream(&g_capture);
    stream.beginRecord("/a/b/File.cpp", 12, "void ns::Cls::method(int)", 2, "TC.VDS.Lock")
        << "part " << 1 << MWENDLINE;
    stream << "part " << 2 << MWENDREC;
    stream << "ignored" << TraceTerminator{7};

    const auto records = g_capture.take();
    ASSERT_EQ(records.size(), 2u);
    EXPECT_EQ(records[0].message, "part 1");
    EXPECT_EQ(records[1].message, "part 2");
    // A kind-1 terminator keeps the prefix: both halves print under the same header.
    EXPECT_EQ(records[0].prefix, records[1].prefix);
    EXPECT_EQ(records[0].category, "TC.VDS.Lock");
    EXPECT_EQ(records[0].verbosity, 2u);
    EXPECT_EQ(records[0].file, "File.cpp");
    EXPECT_EQ(records[0].function, "method");
    EXPECT_EQ(stream.currentCategory(), TC_INFO_OTHER);
    EXPECT_EQ(stream.currentVerbosity(), 5u);
}

TEST_F(TraceStreamTest, PrefixCarriesLocationHeaderAndIndentation) {
    TraceStreamClass stream(&g_capture);
    stream.enterScope();
    stream.enterScope();
    stream.beginRecord("x/Widget.cpp", 7, "f", 4, static_cast<const char*>(nullptr))
        << "m" << MWENDREC;
    const auto records = g_capture.take();
    ASSERT_EQ(records.size(), 1u);
    const std::regex shape(R"(\d\d-\d\d-\d\d \d\d:\d\d:\d\d\.\d{3} &[0-9A-F]{3} -{28}Widget\.cpp:7 )"
                           R"(V:4 C:UNKNOWN-{17} \| \. )");
    EXPECT_TRUE(std::regex_match(records[0].prefix, shape)) << records[0].prefix;
}

TEST_F(TraceStreamTest, ScopesNestWithEntryExitRecordsAndIndentation) {
    outerFunction();
    const auto records = g_capture.take();
    ASSERT_EQ(records.size(), 5u);
    EXPECT_EQ(records[0].message, ">ENTERING outerFunction outer");
    EXPECT_EQ(records[0].category, "TC.Info.Codepath.EntryExit.Entry");
    EXPECT_EQ(records[1].message, ">ENTERING innerFunction inner");
    EXPECT_EQ(records[2].message, "caught 42");
    EXPECT_EQ(records[2].category, "TC.Error.FATAL.ExceptionCaught");
    EXPECT_TRUE(std::regex_match(records[3].message, std::regex(R"(<EXITING\(\d+\.\d{3}s\) innerFunction)")))
        << records[3].message;
    EXPECT_EQ(records[3].category, "TC.Info.Codepath.EntryExit.Exit");
    EXPECT_TRUE(records[4].message.starts_with("<EXITING(")) << records[4].message;

    // The outer scope prints at depth 0, its body one level in, the inner body two levels in.
    EXPECT_TRUE(records[0].prefix.ends_with("--- "));
    EXPECT_TRUE(records[1].prefix.ends_with(" | "));
    EXPECT_TRUE(records[2].prefix.ends_with(" | . "));
    EXPECT_TRUE(records[3].prefix.ends_with(" | "));
    EXPECT_EQ(getThreadTraceStream().depth(), 0);
}

TEST_F(TraceStreamTest, ObjectScopesNameTheClassAndDescribeTheObject) {
    TracedService service;
    service.listDisks();
    const auto records = g_capture.take();
    ASSERT_EQ(records.size(), 2u);
    EXPECT_EQ(records[0].message,
              ">ENTERING Service_DiskListImpl::listDisks all=true //array/root/snia:Disk.Id=\"7\"");
    EXPECT_TRUE(records[1].message.ends_with(") listDisks"));
}

TEST_F(TraceStreamTest, ExitRecordShowsAccumulatorsOnlyWhenSet) {
    {
        ScopeTracer scope(true, nullptr, __FILE__, __LINE__, "ns::waits", "", 5, nullptr);
        scope.addFirstAccumulator(1500);
        scope.addSecondAccumulator(20);
    }
    {
        ScopeTracer scope(true, nullptr, __FILE__, __LINE__, nullptr, nullptr, 5, nullptr);
    }
    const auto records = g_capture.take();
    ASSERT_EQ(records.size(), 4u);
    EXPECT_TRUE(std::regex_match(records[1].message,
                                 std::regex(R"(<EXITING\(0\.\d{3}s lw:1\.500s cw:0\.020s\) waits)")))
        << records[1].message;
    EXPECT_EQ(records[2].message, ">ENTERING NoMethod ");
    EXPECT_EQ(records[3].message.find(" lw:"), std::string::npos);
}

TEST_F(TraceStreamTest, RecordsAboveTheCeilingAreNeitherBuiltNorWritten) {
    g_capture.setCeiling(3);
    int evaluated = 0;
    auto count = [&] { return ++evaluated; };
    outerFunction(); // entry/exit at 5 are dropped, the verbosity-3 record stays
    MWTRACE(5, TC_INFO) << "dropped " << count() << MWENDREC;
    MWTRACE(3, TC_INFO) << "kept " << count() << MWENDREC;
    const auto records = g_capture.take();
    ASSERT_EQ(records.size(), 2u);
    EXPECT_EQ(records[0].message, "caught 42");
    EXPECT_EQ(records[1].message, "kept 1");
    EXPECT_EQ(evaluated, 1);
    // Depth is still kept for the skipped scopes.
    EXPECT_EQ(getThreadTraceStream().depth(), 0);
}

TEST_F(TraceStreamTest, EachThreadHasItsOwnStreamAndDepth) {
    MWSCOPE("main thread scope");
    int otherDepth = -1;
    const void* otherStream = nullptr;
    const void* otherSink = nullptr;
    std::thread worker([&] {
        otherStream = &getThreadTraceStream();
        otherDepth = getThreadTraceStream().depth();
        otherSink = getThreadTraceStream().sink();
    });
    worker.join();
    EXPECT_EQ(otherDepth, 0);
    EXPECT_NE(otherStream, &getThreadTraceStream());
    EXPECT_EQ(getThreadTraceStream().depth(), 1);
    EXPECT_EQ(otherSink, &g_capture);
}
