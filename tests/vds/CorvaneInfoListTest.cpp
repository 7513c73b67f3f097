#include "vds/framework/CorvaneInfoListWriter.h"

#include "ScratchRegistry.h"
#include "TraceCapture.h"

#include "platform/com/TextConversion.h"
#include "platform/registry/RegistryKey.h"
#include "platform/service/EventLog.h"

#include <gtest/gtest.h>

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

using orv::platform::RegistryKey;

// Readable failure output for entries.
void PrintTo(const CorvaneInfo& entry, std::ostream* out)
{
    using orv::platform::Utf16ToUtf8;
    *out << "{" << Utf16ToUtf8(entry.host) << ", " << Utf16ToUtf8(entry.userName) << ", "
         << Utf16ToUtf8(entry.password) << ", " << entry.status << "}";
}

namespace {

const std::u16string kConnections = u"Software\\OrvVds\\connections";

CorvaneInfo info(std::u16string host, std::u16string user, std::u16string password,
                 int status = 0)
{
    return {std::move(host), std::move(user), std::move(password), status};
}

std::vector<CorvaneInfo> entriesOf(const CorvaneInfoList& list)
{
    std::vector<CorvaneInfo> entries;
    CorvaneInfo entry;
    for (long i = 0; list.GetAt(i, entry); ++i)
        entries.push_back(entry);
    return entries;
}

std::vector<std::u16string> hostsOf(const CorvaneInfoList& list)
{
    std::vector<std::u16string> hosts;
    for (const CorvaneInfo& entry : entriesOf(list))
        hosts.push_back(entry.host);
    return hosts;
}

// The host keys under "connections" in the registry, or nothing when the key is missing.
std::optional<std::vector<std::u16string>> registryHosts()
{
    RegistryKey connections;
    if (connections.open(RegistryKey::root(HKEY_LOCAL_MACHINE), kConnections) != ERROR_SUCCESS)
        return std::nullopt;
    std::vector<std::u16string> hosts;
    std::u16string name;
    for (DWORD i = 0; connections.enumKey(i, name) == ERROR_SUCCESS; ++i)
        hosts.push_back(name);
    return hosts;
}

// Writes one host the way another process (or an administrator) would.
void writeHostBehindTheListsBack(const std::u16string& host, const std::u16string& user,
                                 const std::u16string& password)
{
    RegistryKey key;
    ASSERT_EQ(key.create(RegistryKey::root(HKEY_LOCAL_MACHINE), kConnections + u"\\" + host),
              ERROR_SUCCESS);
    ASSERT_EQ(key.setString(u"UserName", user), ERROR_SUCCESS);
    std::array<BYTE, 128> blob;
    ASSERT_EQ(CorvaneInfoList::Protect(password, blob.data(), blob.size()), 0);
    ASSERT_EQ(key.setBinary(u"Password", blob.data(), 128), ERROR_SUCCESS);
}

CorvaneInfoListWriter savedList(std::initializer_list<CorvaneInfo> entries)
{
    CorvaneInfoListWriter list;
    for (const CorvaneInfo& entry : entries)
        list.Add(entry);
    EXPECT_EQ(list.Save(), CorvaneInfoList::kSuccess);
    return list;
}

class CorvaneInfoListTest : public ::testing::Test {
protected:
    ScratchRegistry m_registry;
};

} // namespace

TEST_F(CorvaneInfoListTest, SavedListLoadsBackInRegistryOrderWithStatusZero)
{
    savedList({info(u"10.0.0.7", u"admin", u"pw-7", 3), info(u"array-b", u"ops", u"", 4),
               info(u"Array-A", u"root", std::u16string(54, u'k'), 1)});
    CorvaneInfoList loaded;
    ASSERT_EQ(loaded.Load(), CorvaneInfoList::kSuccess);
    // The registry enumerates its keys by name, without regard to case.
    EXPECT_EQ(entriesOf(loaded),
              (std::vector<CorvaneInfo>{info(u"10.0.0.7", u"admin", u"pw-7"),
                                        info(u"Array-A", u"root", std::u16string(54, u'k')),
                                        info(u"array-b", u"ops", u"")}));
}

TEST_F(CorvaneInfoListTest, EmptyListSavesAsAnEmptyKeyAndSaveReplacesTheOldList)
{
    savedList({info(u"old-1", u"u", u"p"), info(u"old-2", u"u", u"p")});
    EXPECT_EQ(registryHosts(), (std::vector<std::u16string>{u"old-1", u"old-2"}));
    savedList({info(u"new", u"u", u"p")});
    EXPECT_EQ(registryHosts(), (std::vector<std::u16string>{u"new"}));
    savedList({});
    EXPECT_EQ(registryHosts(), std::vector<std::u16string>{});
}

TEST_F(CorvaneInfoListTest, RefusedPasswordStopsTheSaveAndKeepsWhatCameBefore)
{
    savedList({info(u"previous", u"u", u"p")});
    CorvaneInfoListWriter list;
    list.Add(info(u"first", u"u", u"fine"));
    list.Add(info(u"second", u"u", std::u16string(55, u'x')));
    list.Add(info(u"third", u"u", u"fine too"));
    EXPECT_EQ(list.Save(), CorvaneInfoList::kTextTooLong);
    EXPECT_EQ(CorvaneInfoList::ResultMessage(CorvaneInfoList::kTextTooLong),
              u"Text is too long to be encrypted");
    EXPECT_EQ(registryHosts(), (std::vector<std::u16string>{u"first"}));
    // The refused entry left no half-written key that would stop the next load.
    CorvaneInfoList loaded;
    EXPECT_EQ(loaded.Load(), CorvaneInfoList::kSuccess);
    EXPECT_EQ(hostsOf(loaded), (std::vector<std::u16string>{u"first"}));
}

TEST_F(CorvaneInfoListTest, LoadSeesAddedAndRemovedHostsButKeepsKnownOnes)
{
    CorvaneInfoListWriter list = savedList(
        {info(u"keep", u"old-user", u"old-pw"), info(u"drop", u"u", u"p"), info(u"m-host", u"u", u"p")});
    ASSERT_EQ(list.Load(), CorvaneInfoList::kSuccess);
    list.AddOrUpdate(info(u"keep", u"old-user", u"old-pw", 3));

    RegistryKey connections;
    ASSERT_EQ(connections.open(RegistryKey::root(HKEY_LOCAL_MACHINE), kConnections,
                               KEY_ALL_ACCESS),
              ERROR_SUCCESS);
    ASSERT_EQ(connections.deleteTree(u"drop"), ERROR_SUCCESS);
    writeHostBehindTheListsBack(u"added", u"new-user", u"new-pw");
    writeHostBehindTheListsBack(u"keep", u"changed-user", u"changed-pw");

    ASSERT_EQ(list.Load(), CorvaneInfoList::kSuccess);
    EXPECT_EQ(entriesOf(list), (std::vector<CorvaneInfo>{info(u"keep", u"old-user", u"old-pw", 3),
                                                         info(u"m-host", u"u", u"p"),
                                                         info(u"added", u"new-user", u"new-pw")}));
}

TEST_F(CorvaneInfoListTest, FailedLoadKeepsWhatItAddedAndRemovesNothing)
{
    savedList({info(u"a-good", u"u", u"p"), info(u"b-bad", u"u", u"p"), info(u"c-good", u"u", u"p")});
    RegistryKey bad;
    ASSERT_EQ(bad.open(RegistryKey::root(HKEY_LOCAL_MACHINE), kConnections + u"\\b-bad",
                       KEY_ALL_ACCESS),
              ERROR_SUCCESS);
    ASSERT_EQ(bad.deleteValue(u"Password"), ERROR_SUCCESS);

    CorvaneInfoList list;
    list.Add(info(u"stale", u"u", u"p"));
    EXPECT_EQ(list.Load(), CorvaneInfoList::kRegistryReadFailed);
    EXPECT_EQ(hostsOf(list), (std::vector<std::u16string>{u"stale", u"a-good"}));
}

TEST_F(CorvaneInfoListTest, UserNamesOf130CharactersFailTheLoad)
{
    struct Case {
        std::size_t length;
        int expected;
    };
    for (const Case& row : {Case{129, CorvaneInfoList::kSuccess},
                            Case{130, CorvaneInfoList::kRegistryReadFailed}}) {
        SCOPED_TRACE(row.length);
        savedList({info(u"host", std::u16string(row.length, u'u'), u"p")});
        CorvaneInfoList list;
        EXPECT_EQ(list.Load(), row.expected);
    }
}

TEST_F(CorvaneInfoListTest, BlobsOfTheWrongSizeOrTypeFailTheLoad)
{
    struct Case {
        const char* description;
        DWORD type;
        DWORD size;
        int expected;
    };
    const Case cases[] = {
        {"short blob", REG_BINARY, 127, CorvaneInfoList::kBufferTooShort},
        {"long blob", REG_BINARY, 129, CorvaneInfoList::kRegistryReadFailed},
        {"text instead of bytes", REG_SZ, 128, CorvaneInfoList::kRegistryReadFailed},
        {"random bytes", REG_BINARY, 128, CorvaneInfoList::kInvalidParameter},
    };
    for (const Case& row : cases) {
        SCOPED_TRACE(row.description);
        savedList({info(u"host", u"u", u"p")});
        RegistryKey host;
        ASSERT_EQ(host.open(RegistryKey::root(HKEY_LOCAL_MACHINE), kConnections + u"\\host",
                            KEY_ALL_ACCESS),
                  ERROR_SUCCESS);
        std::vector<BYTE> data(row.size, 0x5A);
        ASSERT_EQ(host.setValue(u"Password", row.type, data.data(), row.size), ERROR_SUCCESS);
        CorvaneInfoList list;
        EXPECT_EQ(list.Load(), row.expected);
    }
}

TEST_F(CorvaneInfoListTest, LoadWithoutTheListKeyFailsToOpen)
{
    CorvaneInfoList list;
    EXPECT_EQ(list.Load(), CorvaneInfoList::kRegistryOpenFailed);
}

namespace {

// The registry of m_registry, copied beside it and made the process registry, without the
// protection key that lives beside the original.
class CopiedRegistry {
public:
    explicit CopiedRegistry(const ScratchRegistry& original)
        : m_directory(original.directory() / "copy")
    {
        std::filesystem::create_directories(m_directory);
        // With the store's write-ahead log, which holds what was written last.
        for (const char* suffix : {"", "-wal"}) {
            const std::filesystem::path file = original.registryPath().string() + suffix;
            if (std::filesystem::exists(file))
                std::filesystem::copy_file(file, path().string() + suffix);
        }
        EXPECT_EQ(orv::platform::Registry::open(path(), m_registry), ERROR_SUCCESS);
        orv::platform::Registry::setProcessRegistry(m_registry);
        orv::platform::EventLog::setObserver([this](WORD type, std::string_view message) {
            if (type == EVENTLOG_ERROR_TYPE)
                m_events.emplace_back(message);
        });
    }
    ~CopiedRegistry()
    {
        orv::platform::EventLog::setObserver(nullptr);
        orv::platform::Registry::setProcessRegistry(nullptr);
    }

    std::filesystem::path path() const { return m_directory / "registry.db"; }
    std::filesystem::path keyPath() const { return m_directory / "protection.key"; }
    const std::vector<std::string>& events() const { return m_events; }

private:
    std::filesystem::path m_directory;
    std::shared_ptr<orv::platform::Registry> m_registry;
    std::vector<std::string> m_events;
};

bool anyMentions(const std::vector<std::string>& texts, const std::string& part1,
                 const std::string& part2)
{
    for (const std::string& text : texts) {
        if (text.find(part1) != std::string::npos && text.find(part2) != std::string::npos)
            return true;
    }
    return false;
}

} // namespace

// A registry moved to another machine or restored from a backup without its key cannot give
// back its passwords; the administrator is told which file is missing and where it belongs.
TEST_F(CorvaneInfoListTest, ARegistryWithoutItsKeyNamesTheMissingKeyFile)
{
    TraceCaptureScope traces;
    savedList({info(u"10.0.0.7", u"admin", u"pw-7")});
    CopiedRegistry copy(m_registry);
    CorvaneInfoListWriter list;
    EXPECT_EQ(list.Load(), CorvaneInfoList::kInvalidParameter);
    const std::vector<std::string> messages = TraceCapture::instance().takeMessages("TC.VDS.Provider");
    EXPECT_TRUE(anyMentions(messages, copy.keyPath().string(), "is missing")) << testing::PrintToString(messages);
    EXPECT_TRUE(anyMentions(copy.events(), copy.keyPath().string(), "belongs with the registry"))
        << testing::PrintToString(copy.events());
}

TEST_F(CorvaneInfoListTest, AnUnreadableKeyFileIsNamedWithItsProblem)
{
    TraceCaptureScope traces;
    savedList({info(u"10.0.0.8", u"admin", u"pw-8")});
    CopiedRegistry copy(m_registry);
    std::ofstream(copy.keyPath()) << "short";
    CorvaneInfoListWriter list;
    EXPECT_EQ(list.Load(), CorvaneInfoList::kRegistryReadFailed);
    EXPECT_TRUE(anyMentions(copy.events(), copy.keyPath().string(), "does not hold a key"))
        << testing::PrintToString(copy.events());
    // A folder where the key should be.
    std::filesystem::remove(copy.keyPath());
    std::filesystem::create_directory(copy.keyPath());
    EXPECT_EQ(list.Load(), CorvaneInfoList::kRegistryReadFailed);
    EXPECT_TRUE(anyMentions(copy.events(), copy.keyPath().string(), "Is a directory"))
        << testing::PrintToString(copy.events());
}

TEST(CorvaneInfoListMemoryTest, EntriesAreFoundAddedAndRemovedByExactHost)
{
    CorvaneInfoList list;
    EXPECT_EQ(list.AddOrUpdate(info(u"Host", u"u1", u"p1", 1)), 0);
    EXPECT_EQ(list.AddOrUpdate(info(u"host", u"u2", u"p2", 2)), 0);
    EXPECT_EQ(list.AddOrUpdate(info(u"Host", u"u3", u"p3", 3)), 1);
    list.Add(info(u"Host", u"dup", u"dup"));
    CorvaneInfo found;
    ASSERT_TRUE(list.Find(u"Host", found));
    EXPECT_EQ(found, info(u"Host", u"u3", u"p3", 3));
    EXPECT_FALSE(list.Find(u"HOST", found));
    EXPECT_FALSE(list.GetAt(3, found));
    EXPECT_FALSE(list.GetAt(-1, found));
    EXPECT_TRUE(list.Remove(u"Host"));
    EXPECT_EQ(hostsOf(list), (std::vector<std::u16string>{u"host", u"Host"}));
    EXPECT_FALSE(list.Remove(u"elsewhere"));

    CorvaneInfoList copy = list;
    copy.Remove(u"host");
    EXPECT_EQ(list.Size(), 2u);
}

TEST(CorvaneInfoListMemoryTest, ResultMessages)
{
    const std::pair<int, std::u16string> cases[] = {
        {0, u"Save/Restore Completed Successfully"},
        {1, u"Save/Restore End of List"},
        {2, u"Invalid Parameter"},
        {3, u"Registry Create Failed"},
        {4, u"Registry Open Failed"},
        {5, u"Registry Read Failed"},
        {6, u"Registry Write Failed"},
        {7, u"String Resource Load Failed"},
        {8, u"Text is too long to be encrypted"},
        {9, u"Buffer is too short to receive decrypted data"},
        {10, u"Return Value Not Valid"},
        {-1, u"Return Value Not Valid"},
    };
    for (const auto& [code, text] : cases) {
        std::array<WCHAR, 64> buffer{};
        CorvaneInfoList::GetResultMessage(code, buffer.data(), static_cast<int>(buffer.size()));
        EXPECT_EQ(std::u16string(buffer.data()), text) << code;
    }
    CorvaneInfoList::GetResultMessage(0, nullptr, 64); // nothing to write to, no crash
}

// ---- a save cut off by the death of its process ----------------------------------------

namespace {

// Kills its own process once `killAfter` entries are written.
class DyingWriter : public CorvaneInfoListWriter {
public:
    explicit DyingWriter(std::size_t killAfter) : m_killAfter(killAfter) {}

protected:
    void OnEntrySaved(std::size_t index) override
    {
        if (index + 1 == m_killAfter)
            ::raise(SIGKILL);
    }

private:
    std::size_t m_killAfter;
};

} // namespace

TEST_F(CorvaneInfoListTest, ProcessKilledInTheMiddleOfASaveLeavesThePreviousListWhole)
{
    const std::vector<CorvaneInfo> previous = {info(u"array-1", u"admin", u"one"),
                                               info(u"array-2", u"admin", u"two")};
    savedList({previous[0], previous[1]});

    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        m_registry.reopenInChild();
        DyingWriter writer(2);
        writer.Add(info(u"new-1", u"u", u"p"));
        writer.Add(info(u"new-2", u"u", u"p"));
        writer.Add(info(u"new-3", u"u", u"p"));
        writer.Save();
        ::_exit(0); // not reached when the hook works
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFSIGNALED(status)) << "the save ran to its end";
    EXPECT_EQ(WTERMSIG(status), SIGKILL);

    CorvaneInfoList loaded;
    ASSERT_EQ(loaded.Load(), CorvaneInfoList::kSuccess);
    EXPECT_EQ(entriesOf(loaded), previous);
    // And the store takes new saves.
    savedList({info(u"after", u"u", u"p")});
    EXPECT_EQ(registryHosts(), (std::vector<std::u16string>{u"after"}));
}
