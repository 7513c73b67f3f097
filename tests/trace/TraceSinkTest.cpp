#include "trace/StandardTraceStreamSinkClass.h"
#include "trace/WindowsTraceStreamSinkClass.h"

#include <gtest/gtest.h>

#include <atomic>
#include <optional>
#include <syslog.h>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>
#include <unistd.h>
#include <vector>

using namespace Merrow::Trace;
namespace fs = std::filesystem;

namespace {

class ScratchDir {
public:
    ScratchDir() : m_path(fs::temp_directory_path() / ("orv-trace-" + std::to_string(getpid()) + "-" +
                                                        std::to_string(s_counter++))) {
        fs::create_directories(m_path);
    }
    ~ScratchDir() { fs::remove_all(m_path); }
    fs::path operator/(const std::string& name) const { return m_path / name; }

private:
    static inline std::atomic<int> s_counter{0};
    fs::path m_path;
};

std::vector<std::string> readLines(const fs::path& path) {
    std::ifstream in(path);
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

bool writeRecord(TraceStreamSinkInterface& sink, uint32_t verbosity, const std::string& message,
                 const std::string& category = "TC.Info") {
    return sink.write("f.cpp", 1, "fn", "PREFIX ", verbosity, category, message);
}

class EnvironmentVariable {
public:
    EnvironmentVariable(const char* name, const char* value) : m_name(name) {
        if (const char* old = std::getenv(name))
            m_old = old;
        value ? setenv(name, value, 1) : unsetenv(name);
    }
    ~EnvironmentVariable() { m_old ? setenv(m_name, m_old->c_str(), 1) : unsetenv(m_name); }

private:
    const char* m_name;
    std::optional<std::string> m_old;
};

} // namespace

TEST(StandardSinkTest, WritesPrefixAndMessageUpToTheCeiling) {
    ScratchDir dir;
    StandardTraceStreamSinkClass sink((dir / "trace.log").string(), 3);
    EXPECT_FALSE(sink.mayWrite(5));
    EXPECT_TRUE(sink.mayWrite(3));
    EXPECT_FALSE(writeRecord(sink, 5, "entry record"));
    EXPECT_TRUE(writeRecord(sink, 3, "caught exception"));
    EXPECT_TRUE(writeRecord(sink, 1, "fatal"));
    EXPECT_EQ(readLines(dir / "trace.log"),
              (std::vector<std::string>{"PREFIX caught exception", "PREFIX fatal"}));
}

TEST(StandardSinkTest, EmptyOutputNameWritesNothing) {
    StandardTraceStreamSinkClass sink("", 5);
    EXPECT_FALSE(sink.mayWrite(1));
    testing::internal::CaptureStdout();
    EXPECT_FALSE(writeRecord(sink, 1, "nowhere"));
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
}

TEST(StandardSinkTest, FailedOpenIsReportedPerRecordAndRetried) {
    ScratchDir dir;
    const fs::path path = dir / "missing" / "trace.log";
    StandardTraceStreamSinkClass sink(path.string(), 5);
    testing::internal::CaptureStdout();
    EXPECT_FALSE(writeRecord(sink, 1, "lost"));
    EXPECT_FALSE(writeRecord(sink, 1, "lost too"));
    EXPECT_EQ(testing::internal::GetCapturedStdout(),
              "No such file or directory\nNo such file or directory\n");
    fs::create_directories(path.parent_path());
    EXPECT_TRUE(writeRecord(sink, 1, "kept"));
    EXPECT_EQ(readLines(path), std::vector<std::string>{"PREFIX kept"});
}

TEST(StandardSinkTest, OutputFileIsTruncatedWhenOpened) {
    ScratchDir dir;
    { std::ofstream(dir / "t.log") << "old content\n"; }
    StandardTraceStreamSinkClass sink((dir / "t.log").string(), 5);
    writeRecord(sink, 1, "new");
    EXPECT_EQ(readLines(dir / "t.log"), std::vector<std::string>{"PREFIX new"});
}

TEST(StandardSinkTest, ConcurrentWritersNeverInterleaveLines) {
    ScratchDir dir;
    StandardTraceStreamSinkClass sink((dir / "mt.log").string(), 5);
    constexpr int threads = 4, perThread = 500;
    std::vector<std::thread> workers;
    for (int t = 0; t < threads; ++t) {
        workers.emplace_back([&, t] {
            const std::string message(200, static_cast<char>('a' + t));
            for (int i = 0; i < perThread; ++i)
                writeRecord(sink, 1, message);
        });
    }
    for (auto& w : workers)
        w.join();
    const auto lines = readLines(dir / "mt.log");
    ASSERT_EQ(lines.size(), static_cast<size_t>(threads * perThread));
    for (const auto& line : lines) {
        ASSERT_EQ(line.size(), 207u);
        EXPECT_EQ(line.substr(7), std::string(200, line[7]));
    }
}

TEST(StandardSinkTest, CategoryFilterAcceptsWholeCategoriesAndDottedPrefixes) {
    ScratchDir dir;
    StandardTraceStreamSinkClass sink((dir / "f.log").string(), 5);
    sink.setCategoryFilterList("TC.VDS, TC.Error.FATAL.ExceptionCaught");
    EXPECT_TRUE(sink.categoryAccepted("TC.VDS.Lock"));
    EXPECT_TRUE(sink.categoryAccepted("  TC.VDS"));
    EXPECT_TRUE(sink.categoryAccepted("TC.Error.FATAL.ExceptionCaught"));
    EXPECT_FALSE(sink.categoryAccepted("TC.VDSX.Lock"));
    EXPECT_FALSE(sink.categoryAccepted("TC.Error.FATAL"));
    writeRecord(sink, 1, "dropped", "TC.Info");
    writeRecord(sink, 1, "kept", "TC.VDS.Portal");
    writeRecord(sink, 1, "no category is not filtered", "");
    EXPECT_EQ(readLines(dir / "f.log"),
              (std::vector<std::string>{"PREFIX kept", "PREFIX no category is not filtered"}));
}

TEST(StandardSinkTest, CategoryFilterTakesTheAbbreviationsRecordsShow) {
    ScratchDir dir;
    StandardTraceStreamSinkClass sink((dir / "a.log").string(), 5);
    sink.setCategoryFilterList("ICE.Entry,FATAL");
    EXPECT_TRUE(sink.categoryAccepted("TC.Info.Codepath.EntryExit.Entry"));
    EXPECT_FALSE(sink.categoryAccepted("TC.Info.Codepath.EntryExit.Exit"));
    EXPECT_FALSE(sink.categoryAccepted("TC.Info"));
    StandardTraceStreamSinkClass byPrefix((dir / "b.log").string(), 5);
    byPrefix.setCategoryFilterList("ICE");
    EXPECT_TRUE(byPrefix.categoryAccepted("TC.Info.Codepath.EntryExit.Exit"));
    EXPECT_FALSE(byPrefix.categoryAccepted("TC.Info.Codepath.Debug"));
}

TEST(StandardSinkTest, CategoryFilterIsReadFromEitherSpellingOfTheVariable) {
    ScratchDir dir;
    {
        EnvironmentVariable usual("MWTRACE_CATEGORY", "TC.VDS");
        EnvironmentVariable older("MWTRACE_CATAGORY", nullptr);
        StandardTraceStreamSinkClass sink((dir / "u.log").string(), 5);
        sink.setCategoryFilterList(StandardTraceStreamSinkClass::categoryFilterFromEnvironment());
        EXPECT_TRUE(sink.categoryAccepted("TC.VDS.Lock"));
        EXPECT_FALSE(sink.categoryAccepted("TC.Info"));
    }
    {
        EnvironmentVariable usual("MWTRACE_CATEGORY", "TC.VDS");
        EnvironmentVariable older("MWTRACE_CATAGORY", "TC.Info");
        StandardTraceStreamSinkClass sink((dir / "b.log").string(), 5);
        sink.setCategoryFilterList(StandardTraceStreamSinkClass::categoryFilterFromEnvironment());
        EXPECT_TRUE(sink.categoryAccepted("TC.VDS.Lock"));
        EXPECT_TRUE(sink.categoryAccepted("TC.Info.Other"));
    }
    EnvironmentVariable usual("MWTRACE_CATEGORY", nullptr);
    EnvironmentVariable older("MWTRACE_CATAGORY", nullptr);
    StandardTraceStreamSinkClass unfiltered((dir / "n.log").string(), 5);
    unfiltered.setCategoryFilterList(StandardTraceStreamSinkClass::categoryFilterFromEnvironment());
    EXPECT_FALSE(unfiltered.hasCategoryFilter());
}

TEST(StandardSinkTest, EnvironmentValuesMayBeQuotedWithBackslashEscapes) {
    EXPECT_EQ(StandardTraceStreamSinkClass::unquoteEnvironmentValue(R"("C:\\logs\\trace.txt")"),
              R"(C:\logs\trace.txt)");
    EXPECT_EQ(StandardTraceStreamSinkClass::unquoteEnvironmentValue(R"("a\"b\")"), R"(a"b)");
    EXPECT_EQ(StandardTraceStreamSinkClass::unquoteEnvironmentValue(R"(plain\\path)"), R"(plain\\path)");
    EXPECT_EQ(StandardTraceStreamSinkClass::unquoteEnvironmentValue("\""), "\"");
    EXPECT_EQ(StandardTraceStreamSinkClass::unquoteEnvironmentValue("\"\""), "");

    ScratchDir dir;
    const std::string quoted = "\"" + (dir / "q.log").string() + "\"";
    EnvironmentVariable output("MWTRACE_OUTPUT_FILE", quoted.c_str());
    EnvironmentVariable verbosity("MWTRACE_VERBOSITY", "\"3\"");
    EXPECT_EQ(StandardTraceStreamSinkClass::outputNameFromEnvironment(), (dir / "q.log").string());
    EXPECT_EQ(StandardTraceStreamSinkClass::ceilingFromEnvironment(), 3u);
}

TEST(StandardSinkTest, VerbosityDefaultsToFiveWhenAbsentOrEmpty) {
    {
        EnvironmentVariable unset("MWTRACE_VERBOSITY", nullptr);
        EXPECT_EQ(StandardTraceStreamSinkClass::ceilingFromEnvironment(), 5u);
    }
    {
        EnvironmentVariable empty("MWTRACE_VERBOSITY", "");
        EXPECT_EQ(StandardTraceStreamSinkClass::ceilingFromEnvironment(), 5u);
    }
    EnvironmentVariable unset("MWTRACE_OUTPUT_FILE", nullptr);
    EXPECT_EQ(StandardTraceStreamSinkClass::outputNameFromEnvironment(), "");
}

TEST(EventLogSinkTest, EventTypeFollowsVerbosity) {
    const std::pair<uint32_t, uint16_t> cases[] = {{0, 4}, {1, 1}, {2, 1}, {3, 2}, {4, 4}, {5, 4}, {99, 4}};
    for (const auto& [verbosity, type] : cases)
        EXPECT_EQ(WindowsTraceStreamSinkClass::eventTypeFor(verbosity), type) << verbosity;
    EXPECT_EQ(WindowsTraceStreamSinkClass::syslogPriorityFor(1), LOG_ERR);
    EXPECT_EQ(WindowsTraceStreamSinkClass::syslogPriorityFor(2), LOG_WARNING);
    EXPECT_EQ(WindowsTraceStreamSinkClass::syslogPriorityFor(4), LOG_INFO);
}

TEST(EventLogSinkTest, EventCategoryTakesTheLastMatchingRow) {
    const std::pair<const char*, uint16_t> cases[] = {
        {"TC.VDS.Portal", 8},    {"TC.VDS.PortalGroup", 8}, {"TC.VDS.Subsystem", 3},
        {"TC.VDS.GetObject", 1}, {"TC.Info", 10},           {"TC.VDS.LUN", 6},
        {"x TC.VDS.Method TC.VDS.Provider", 9}, {"", 10}};
    for (const auto& [category, expected] : cases)
        EXPECT_EQ(WindowsTraceStreamSinkClass::eventCategoryFor(category), expected) << category;
}

TEST(EventLogSinkTest, LocationStringIsCutTo259Characters) {
    EXPECT_EQ(WindowsTraceStreamSinkClass::locationString("fn", "a.cpp", 12),
              "fn, File: a.cpp, Line 12\r\n\r\n");
    EXPECT_EQ(WindowsTraceStreamSinkClass::locationString(std::string(300, 'f'), "a.cpp", 1).size(),
              259u);
}

TEST(EventLogSinkTest, ConstructionRunsTheRegistrarAndChecksTheFilter) {
    int registrations = 0;
    setEventSourceRegistrar([&] { ++registrations; });
    {
        WindowsTraceStreamSinkClass good(2, "TC\\.VDS.*");
        EXPECT_TRUE(good.constructionProblem().empty());
        EXPECT_TRUE(good.mayWrite(2));
        EXPECT_FALSE(good.mayWrite(3));
    }
    WindowsTraceStreamSinkClass bad(5, "TC.(VDS");
    EXPECT_TRUE(bad.constructionProblem().starts_with("boost::regex throws exception on 'TC.(VDS'"));
    EXPECT_EQ(registrations, 2);
    setEventSourceRegistrar(nullptr);
}
