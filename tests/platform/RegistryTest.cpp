#include "platform/registry/RegistryKey.h"
#include "platform/registry/RegistryTransaction.h"

#include "TempDirectory.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <csignal>
#include <string>
#include <thread>
#include <vector>

namespace orv::platform {
namespace {

using test::TempDirectory;

class RegistryTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_path = m_directory.path() / "state" / "registry.db";
        ASSERT_EQ(Registry::open(m_path, m_registry), ERROR_SUCCESS);
        m_hklm = RegistryKey::root(HKEY_LOCAL_MACHINE, m_registry);
    }

    RegistryKey createKey(std::u16string_view path, REGSAM access = KEY_ALL_ACCESS)
    {
        RegistryKey key;
        EXPECT_EQ(key.create(m_hklm, path, access), ERROR_SUCCESS) << std::string(path.begin(), path.end());
        return key;
    }

    static std::vector<std::u16string> subKeys(const RegistryKey& key)
    {
        std::vector<std::u16string> names;
        std::u16string name;
        for (DWORD i = 0; key.enumKey(i, name) == ERROR_SUCCESS; ++i)
            names.push_back(name);
        return names;
    }

    static std::vector<std::u16string> valueNames(const RegistryKey& key)
    {
        std::vector<std::u16string> names;
        std::u16string name;
        DWORD type;
        std::vector<BYTE> data;
        for (DWORD i = 0; key.enumValue(i, name, type, data) == ERROR_SUCCESS; ++i)
            names.push_back(name);
        return names;
    }

    TempDirectory m_directory;
    std::filesystem::path m_path;
    std::shared_ptr<Registry> m_registry;
    RegistryKey m_hklm;
};

TEST_F(RegistryTest, FileIsPrivateToItsOwner)
{
    struct stat info {};
    ASSERT_EQ(::stat(m_path.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0600u);
    ASSERT_EQ(::stat(m_path.parent_path().c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0700u);
}

TEST_F(RegistryTest, ExistingFileIsTightenedToOwnerOnly)
{
    m_registry.reset();
    ASSERT_EQ(::chmod(m_path.c_str(), 0644), 0);
    ASSERT_EQ(Registry::open(m_path, m_registry), ERROR_SUCCESS);
    struct stat info {};
    ASSERT_EQ(::stat(m_path.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0600u);
}

TEST_F(RegistryTest, OpeningInAnUnwritablePlaceFails)
{
    std::shared_ptr<Registry> registry;
    EXPECT_NE(Registry::open("/proc/orvds/registry.db", registry), ERROR_SUCCESS);
    EXPECT_EQ(registry, nullptr);
}

TEST_F(RegistryTest, NestedKeysAreCreatedOnceAndOpenedLevelByLevel)
{
    RegistryKey key;
    DWORD disposition = 0;
    ASSERT_EQ(key.create(m_hklm, u"Software\\OrvVds\\connections", KEY_ALL_ACCESS, &disposition),
              ERROR_SUCCESS);
    EXPECT_EQ(disposition, static_cast<DWORD>(REG_CREATED_NEW_KEY));
    ASSERT_EQ(key.create(m_hklm, u"Software\\OrvVds\\connections", KEY_ALL_ACCESS, &disposition),
              ERROR_SUCCESS);
    EXPECT_EQ(disposition, static_cast<DWORD>(REG_OPENED_EXISTING_KEY));

    RegistryKey software;
    ASSERT_EQ(software.open(m_hklm, u"Software"), ERROR_SUCCESS);
    RegistryKey product;
    ASSERT_EQ(product.open(software, u"OrvVds"), ERROR_SUCCESS);
    EXPECT_EQ(subKeys(product), std::vector<std::u16string>{u"connections"});

    RegistryKey missing;
    EXPECT_EQ(missing.open(software, u"OrvVds\\absent"), ERROR_FILE_NOT_FOUND);
    EXPECT_FALSE(missing.isOpen());
    // Other roots are separate trees.
    RegistryKey classes = RegistryKey::root(HKEY_CLASSES_ROOT, m_registry);
    EXPECT_EQ(missing.open(classes, u"Software"), ERROR_FILE_NOT_FOUND);
}

TEST_F(RegistryTest, MalformedKeyPathsAreRefused)
{
    struct Case {
        std::u16string path;
        LSTATUS expected;
    };
    const Case cases[] = {
        {u"\\Software", ERROR_BAD_PATHNAME},
        {u"Software\\\\OrvVds", ERROR_BAD_PATHNAME},
        {u"Software\\", ERROR_BAD_PATHNAME},
        {std::u16string(256, u'k'), ERROR_INVALID_PARAMETER},
    };
    for (const Case& c : cases) {
        RegistryKey key;
        EXPECT_EQ(key.create(m_hklm, c.path), c.expected);
        EXPECT_EQ(key.open(m_hklm, c.path), c.expected);
    }
    RegistryKey longest;
    EXPECT_EQ(longest.create(m_hklm, std::u16string(255, u'k')), ERROR_SUCCESS);
    EXPECT_EQ(subKeys(m_hklm).size(), 1u);
}

TEST_F(RegistryTest, KeyAndValueNamesIgnoreCaseAndKeepTheirFirstSpelling)
{
    RegistryKey written = createKey(u"Software\\OrvVds");
    ASSERT_EQ(written.setString(u"UserName", u"admin"), ERROR_SUCCESS);

    RegistryKey read;
    ASSERT_EQ(read.open(m_hklm, u"SOFTWARE\\orvvds"), ERROR_SUCCESS);
    std::u16string text;
    ASSERT_EQ(read.queryString(u"USERNAME", text), ERROR_SUCCESS);
    EXPECT_EQ(text, u"admin");

    ASSERT_EQ(written.setString(u"username", u"operator"), ERROR_SUCCESS);
    EXPECT_EQ(valueNames(read), std::vector<std::u16string>{u"UserName"});
    ASSERT_EQ(read.queryString(u"UserName", text), ERROR_SUCCESS);
    EXPECT_EQ(text, u"operator");

    DWORD disposition = 0;
    RegistryKey again;
    ASSERT_EQ(again.create(m_hklm, u"software\\ORVVDS", KEY_ALL_ACCESS, &disposition), ERROR_SUCCESS);
    EXPECT_EQ(disposition, static_cast<DWORD>(REG_OPENED_EXISTING_KEY));
    EXPECT_EQ(subKeys(m_hklm), std::vector<std::u16string>{u"Software"});
}

TEST_F(RegistryTest, EachValueTypeRoundTrips)
{
    RegistryKey key = createKey(u"SYSTEM\\CurrentControlSet\\Services\\EventLog\\Application\\OrvVDS");
    std::vector<BYTE> blob(128);
    for (std::size_t i = 0; i < blob.size(); ++i)
        blob[i] = static_cast<BYTE>(i * 7);

    ASSERT_EQ(key.setString(u"EventMessageFile", u"/usr/sbin/orvvds \xD83D\xDCBE"), ERROR_SUCCESS);
    ASSERT_EQ(key.setString(u"File", u"%SystemRoot%\\config", REG_EXPAND_SZ), ERROR_SUCCESS);
    ASSERT_EQ(key.setDword(u"MaxSize", 1048576), ERROR_SUCCESS);
    ASSERT_EQ(key.setBinary(u"Password", blob.data(), 128), ERROR_SUCCESS);
    ASSERT_EQ(key.setBinary(u"Empty", nullptr, 0), ERROR_SUCCESS);

    std::u16string text;
    EXPECT_EQ(key.queryString(u"EventMessageFile", text), ERROR_SUCCESS);
    EXPECT_EQ(text, u"/usr/sbin/orvvds \xD83D\xDCBE");
    EXPECT_EQ(key.queryString(u"File", text), ERROR_SUCCESS);
    EXPECT_EQ(text, u"%SystemRoot%\\config");  // stored, not expanded
    DWORD number = 0;
    EXPECT_EQ(key.queryDword(u"MaxSize", number), ERROR_SUCCESS);
    EXPECT_EQ(number, 1048576u);
    std::vector<BYTE> data;
    EXPECT_EQ(key.queryBinary(u"Password", data), ERROR_SUCCESS);
    EXPECT_EQ(data, blob);
    EXPECT_EQ(key.queryBinary(u"Empty", data), ERROR_SUCCESS);
    EXPECT_TRUE(data.empty());

    struct TypeCase {
        const char16_t* name;
        DWORD type;
        DWORD size;
    };
    const TypeCase stored[] = {
        {u"EventMessageFile", REG_SZ, 20 * 2},  // 19 units and the terminator
        {u"File", REG_EXPAND_SZ, 20 * 2},
        {u"MaxSize", REG_DWORD, 4},
        {u"Password", REG_BINARY, 128},
    };
    for (const TypeCase& c : stored) {
        DWORD type = REG_NONE;
        DWORD size = 0;
        EXPECT_EQ(key.queryValue(c.name, &type, nullptr, &size), ERROR_SUCCESS);
        EXPECT_EQ(type, c.type);
        EXPECT_EQ(size, c.size);
    }
}

TEST_F(RegistryTest, TypedReadsRefuseOtherTypes)
{
    RegistryKey key = createKey(u"Software\\OrvVds\\VDS");
    ASSERT_EQ(key.setDword(u"SeverityFilter", 2), ERROR_SUCCESS);
    ASSERT_EQ(key.setString(u"CategoryFilter", u".*"), ERROR_SUCCESS);
    const BYTE four[4] = {1, 2, 3, 4};
    ASSERT_EQ(key.setBinary(u"Blob", four, 4), ERROR_SUCCESS);

    std::u16string text;
    DWORD number = 0;
    std::vector<BYTE> data;
    EXPECT_EQ(key.queryString(u"SeverityFilter", text), ERROR_UNSUPPORTED_TYPE);
    EXPECT_EQ(key.queryDword(u"CategoryFilter", number), ERROR_UNSUPPORTED_TYPE);
    EXPECT_EQ(key.queryDword(u"Blob", number), ERROR_UNSUPPORTED_TYPE);
    EXPECT_EQ(key.queryBinary(u"CategoryFilter", data), ERROR_UNSUPPORTED_TYPE);
    EXPECT_EQ(key.queryString(u"Absent", text), ERROR_FILE_NOT_FOUND);
}

TEST_F(RegistryTest, InvalidWritesChangeNothing)
{
    RegistryKey key = createKey(u"Software");
    const BYTE three[3] = {1, 2, 3};
    const DWORD multiString = 7;
    EXPECT_EQ(key.setValue(u"v", REG_DWORD, three, 3), ERROR_INVALID_PARAMETER);
    EXPECT_EQ(key.setValue(u"v", multiString, three, 3), ERROR_INVALID_PARAMETER);
    EXPECT_EQ(key.setValue(u"v", REG_BINARY, nullptr, 3), ERROR_INVALID_PARAMETER);
    EXPECT_EQ(key.setString(u"v", u"x", REG_BINARY), ERROR_INVALID_PARAMETER);
    EXPECT_EQ(key.setDword(std::u16string(16384, u'v'), 1), ERROR_INVALID_PARAMETER);
    EXPECT_TRUE(valueNames(key).empty());
}

TEST_F(RegistryTest, QueryValueReportsTheSizeItNeeds)
{
    RegistryKey key = createKey(u"Software");
    ASSERT_EQ(key.setString(u"UserName", u"admin"), ERROR_SUCCESS);  // 12 bytes

    BYTE buffer[12];
    DWORD size = 11;
    EXPECT_EQ(key.queryValue(u"UserName", nullptr, buffer, &size), ERROR_MORE_DATA);
    EXPECT_EQ(size, 12u);
    size = 12;
    DWORD type = REG_NONE;
    EXPECT_EQ(key.queryValue(u"UserName", &type, buffer, &size), ERROR_SUCCESS);
    EXPECT_EQ(type, REG_SZ);
    EXPECT_EQ(std::u16string(reinterpret_cast<const char16_t*>(buffer)), u"admin");

    EXPECT_EQ(key.queryValue(u"UserName", nullptr, buffer, nullptr), ERROR_INVALID_PARAMETER);
    EXPECT_EQ(key.queryValue(u"UserName", &type, nullptr, nullptr), ERROR_SUCCESS);
    EXPECT_EQ(key.queryValue(u"Password", &type, nullptr, &size), ERROR_FILE_NOT_FOUND);
}

TEST_F(RegistryTest, SubKeysEnumerateInNameOrderIgnoringCase)
{
    RegistryKey connections = createKey(u"connections");
    for (const char16_t* host : {u"10.0.0.2", u"array-b", u"Array-A", u"10.0.0.10"})
        createKey(std::u16string(u"connections\\") + host);

    EXPECT_EQ(subKeys(connections),
              (std::vector<std::u16string>{u"10.0.0.10", u"10.0.0.2", u"Array-A", u"array-b"}));
    std::u16string name;
    EXPECT_EQ(connections.enumKey(4, name), ERROR_NO_MORE_ITEMS);

    WCHAR small[8];
    DWORD length = 8;
    EXPECT_EQ(connections.enumKey(0, small, &length), ERROR_MORE_DATA);  // 9 + terminator
    WCHAR fits[10];
    length = 10;
    EXPECT_EQ(connections.enumKey(0, fits, &length), ERROR_SUCCESS);
    EXPECT_EQ(length, 9u);
    EXPECT_EQ(std::u16string(fits), u"10.0.0.10");
}

TEST_F(RegistryTest, ValuesEnumerateInCreationOrderAndKeepTheirPlaceWhenChanged)
{
    RegistryKey key = createKey(u"host");
    ASSERT_EQ(key.setString(u"UserName", u"a"), ERROR_SUCCESS);
    ASSERT_EQ(key.setBinary(u"Password", nullptr, 0), ERROR_SUCCESS);
    ASSERT_EQ(key.setDword(u"Status", 3), ERROR_SUCCESS);
    ASSERT_EQ(key.setString(u"UserName", u"changed"), ERROR_SUCCESS);
    EXPECT_EQ(valueNames(key), (std::vector<std::u16string>{u"UserName", u"Password", u"Status"}));

    WCHAR name[16];
    DWORD nameLength = 16;
    DWORD type = REG_NONE;
    BYTE data[4];
    DWORD size = 4;
    ASSERT_EQ(key.enumValue(2, name, &nameLength, &type, data, &size), ERROR_SUCCESS);
    EXPECT_EQ(std::u16string(name), u"Status");
    EXPECT_EQ(type, REG_DWORD);
    EXPECT_EQ(data[0], 3);
    nameLength = 16;
    size = 4;
    EXPECT_EQ(key.enumValue(0, name, &nameLength, &type, data, &size), ERROR_MORE_DATA);
    EXPECT_EQ(size, 16u);
    nameLength = 16;
    EXPECT_EQ(key.enumValue(3, name, &nameLength, &type, nullptr, nullptr), ERROR_NO_MORE_ITEMS);
}

TEST_F(RegistryTest, DeleteValue)
{
    RegistryKey key = createKey(u"AppID");
    ASSERT_EQ(key.setString(u"LocalService", u"OrvVds"), ERROR_SUCCESS);
    EXPECT_EQ(key.deleteValue(u"localservice"), ERROR_SUCCESS);
    EXPECT_EQ(key.deleteValue(u"LocalService"), ERROR_FILE_NOT_FOUND);
    std::u16string text;
    EXPECT_EQ(key.queryString(u"LocalService", text), ERROR_FILE_NOT_FOUND);
}

TEST_F(RegistryTest, DeleteTreeRemovesTheSubtreeAndLeavesSiblings)
{
    RegistryKey product = createKey(u"Software\\OrvVds");
    RegistryKey host = createKey(u"Software\\OrvVds\\connections\\10.0.0.2\\deeper");
    ASSERT_EQ(host.setString(u"UserName", u"admin"), ERROR_SUCCESS);
    RegistryKey vds = createKey(u"Software\\OrvVds\\VDS");
    ASSERT_EQ(vds.setDword(u"SeverityFilter", 2), ERROR_SUCCESS);

    ASSERT_EQ(product.deleteTree(u"connections"), ERROR_SUCCESS);
    EXPECT_EQ(subKeys(product), std::vector<std::u16string>{u"VDS"});
    DWORD number = 0;
    EXPECT_EQ(vds.queryDword(u"SeverityFilter", number), ERROR_SUCCESS);
    EXPECT_EQ(product.deleteTree(u"connections"), ERROR_FILE_NOT_FOUND);

    // Recreating the key finds nothing of the old subtree.
    DWORD disposition = 0;
    RegistryKey recreated;
    ASSERT_EQ(recreated.create(product, u"connections\\10.0.0.2\\deeper", KEY_ALL_ACCESS, &disposition),
              ERROR_SUCCESS);
    EXPECT_EQ(disposition, static_cast<DWORD>(REG_CREATED_NEW_KEY));
    EXPECT_TRUE(valueNames(recreated).empty());
}

TEST_F(RegistryTest, DeleteTreeOfTheKeyItselfEmptiesIt)
{
    RegistryKey key = createKey(u"connections");
    ASSERT_EQ(key.setString(u"", u"default"), ERROR_SUCCESS);
    createKey(u"connections\\a\\b");
    ASSERT_EQ(key.deleteTree(u""), ERROR_SUCCESS);
    EXPECT_TRUE(subKeys(key).empty());
    EXPECT_TRUE(valueNames(key).empty());
    EXPECT_EQ(key.setDword(u"stillThere", 1), ERROR_SUCCESS);
}

TEST_F(RegistryTest, DeleteKeyRefusesKeysWithSubKeys)
{
    RegistryKey software = createKey(u"Software");
    createKey(u"Software\\OrvVds\\connections");
    EXPECT_EQ(software.deleteKey(u"OrvVds"), ERROR_ACCESS_DENIED);
    EXPECT_EQ(software.deleteKey(u"OrvVds\\connections"), ERROR_SUCCESS);
    EXPECT_EQ(software.deleteKey(u"OrvVds"), ERROR_SUCCESS);
    EXPECT_EQ(software.deleteKey(u"OrvVds"), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(software.deleteKey(u""), ERROR_INVALID_PARAMETER);
}

TEST_F(RegistryTest, HandleToADeletedKeyReportsIt)
{
    RegistryKey host = createKey(u"connections\\10.0.0.2");
    RegistryKey connections = createKey(u"connections");
    ASSERT_EQ(connections.deleteTree(u"10.0.0.2"), ERROR_SUCCESS);
    std::u16string text;
    EXPECT_EQ(host.setString(u"UserName", u"x"), ERROR_KEY_DELETED);
    EXPECT_EQ(host.queryString(u"UserName", text), ERROR_KEY_DELETED);
    RegistryKey child;
    EXPECT_EQ(child.create(host, u"below"), ERROR_KEY_DELETED);
    // A new key of the same name is a different key.
    createKey(u"connections\\10.0.0.2");
    EXPECT_EQ(host.queryString(u"UserName", text), ERROR_KEY_DELETED);
}

TEST_F(RegistryTest, AccessMaskLimitsWhatAHandleMayDo)
{
    createKey(u"Software\\OrvVds");
    RegistryKey reader;
    ASSERT_EQ(reader.open(m_hklm, u"Software", KEY_READ), ERROR_SUCCESS);
    EXPECT_EQ(reader.setDword(u"x", 1), ERROR_ACCESS_DENIED);
    EXPECT_EQ(reader.deleteValue(u"x"), ERROR_ACCESS_DENIED);
    EXPECT_EQ(reader.deleteTree(u"OrvVds"), ERROR_ACCESS_DENIED);
    RegistryKey child;
    EXPECT_EQ(child.create(reader, u"New"), ERROR_ACCESS_DENIED);
    EXPECT_EQ(child.open(reader, u"OrvVds"), ERROR_SUCCESS);  // opening needs no right on the parent
    EXPECT_EQ(subKeys(reader), std::vector<std::u16string>{u"OrvVds"});

    RegistryKey writer;
    ASSERT_EQ(writer.open(m_hklm, u"Software", KEY_WRITE), ERROR_SUCCESS);
    EXPECT_EQ(writer.setDword(u"x", 1), ERROR_SUCCESS);
    DWORD number = 0;
    EXPECT_EQ(writer.queryDword(u"x", number), ERROR_ACCESS_DENIED);
    std::u16string name;
    EXPECT_EQ(writer.enumKey(0, name), ERROR_ACCESS_DENIED);
}

TEST_F(RegistryTest, ClosedHandlesAndMissingStoresFailCleanly)
{
    RegistryKey closed;
    DWORD number = 0;
    EXPECT_EQ(closed.queryDword(u"x", number), ERROR_INVALID_HANDLE);
    RegistryKey child;
    EXPECT_EQ(child.create(closed, u"x"), ERROR_INVALID_HANDLE);

    RegistryKey noStore = RegistryKey::root(HKEY_LOCAL_MACHINE, nullptr);
    EXPECT_EQ(child.create(noStore, u"Software"), ERROR_CANTOPEN);
    EXPECT_EQ(noStore.setDword(u"x", 1), ERROR_CANTOPEN);
    RegistryTransaction transaction(nullptr);
    EXPECT_EQ(transaction.status(), ERROR_CANTOPEN);
    EXPECT_EQ(transaction.commit(), ERROR_INVALID_HANDLE);

    RegistryKey moved = createKey(u"Software");
    RegistryKey target = std::move(moved);
    EXPECT_FALSE(moved.isOpen());
    EXPECT_EQ(target.setDword(u"x", 1), ERROR_SUCCESS);
    target.close();
    EXPECT_EQ(target.setDword(u"x", 1), ERROR_INVALID_HANDLE);
}

TEST_F(RegistryTest, ContentsSurviveReopening)
{
    createKey(u"Software\\OrvVds\\VDS").setDword(u"SeverityFilter", 4);
    m_hklm.close();
    m_registry.reset();

    std::shared_ptr<Registry> reopened;
    ASSERT_EQ(Registry::open(m_path, reopened), ERROR_SUCCESS);
    RegistryKey key;
    ASSERT_EQ(key.open(RegistryKey::root(HKEY_LOCAL_MACHINE, reopened), u"Software\\OrvVds\\VDS"),
              ERROR_SUCCESS);
    DWORD number = 0;
    EXPECT_EQ(key.queryDword(u"SeverityFilter", number), ERROR_SUCCESS);
    EXPECT_EQ(number, 4u);
}

// ---- transactions ----------------------------------------------------------------------

TEST_F(RegistryTest, TransactionCommitKeepsEveryChange)
{
    RegistryKey connections = createKey(u"connections");
    {
        RegistryTransaction transaction(m_registry);
        ASSERT_EQ(transaction.status(), ERROR_SUCCESS);
        ASSERT_EQ(connections.deleteTree(u""), ERROR_SUCCESS);
        RegistryKey host;
        ASSERT_EQ(host.create(connections, u"10.0.0.2"), ERROR_SUCCESS);
        ASSERT_EQ(host.setString(u"UserName", u"admin"), ERROR_SUCCESS);
        EXPECT_EQ(transaction.commit(), ERROR_SUCCESS);
        EXPECT_EQ(transaction.commit(), ERROR_INVALID_HANDLE);
    }
    EXPECT_EQ(subKeys(connections), std::vector<std::u16string>{u"10.0.0.2"});
}

TEST_F(RegistryTest, TransactionWithoutCommitUndoesEverything)
{
    RegistryKey connections = createKey(u"connections\\old-host");
    connections = createKey(u"connections");
    {
        RegistryTransaction transaction(m_registry);
        ASSERT_EQ(connections.deleteTree(u""), ERROR_SUCCESS);
        RegistryKey host;
        ASSERT_EQ(host.create(connections, u"new-host"), ERROR_SUCCESS);
        ASSERT_EQ(host.setDword(u"Status", 1), ERROR_SUCCESS);
        EXPECT_EQ(subKeys(connections), std::vector<std::u16string>{u"new-host"});
    }
    EXPECT_EQ(subKeys(connections), std::vector<std::u16string>{u"old-host"});

    RegistryTransaction explicitRollback(m_registry);
    connections.setDword(u"Count", 1);
    explicitRollback.rollback();
    EXPECT_TRUE(valueNames(connections).empty());
}

TEST_F(RegistryTest, InnerTransactionRollsBackOnlyItsOwnChanges)
{
    RegistryKey key = createKey(u"Software");
    RegistryTransaction outer(m_registry);
    key.setDword(u"outer", 1);
    {
        RegistryTransaction inner(m_registry);
        key.setDword(u"inner", 2);
    }
    key.setDword(u"after", 3);
    ASSERT_EQ(outer.commit(), ERROR_SUCCESS);
    EXPECT_EQ(valueNames(key), (std::vector<std::u16string>{u"outer", u"after"}));
}

TEST_F(RegistryTest, OtherThreadsWaitForAnOpenTransaction)
{
    RegistryKey key = createKey(u"Software");
    std::atomic<bool> committed{false};
    std::atomic<bool> writerSawCommit{false};
    std::thread writer;
    {
        RegistryTransaction transaction(m_registry);
        key.setDword(u"Value", 1);
        writer = std::thread([&] {
            RegistryKey own;
            own.open(RegistryKey::root(HKEY_LOCAL_MACHINE, m_registry), u"Software", KEY_ALL_ACCESS);
            own.setDword(u"Value", 2);  // blocks until the transaction ended
            writerSawCommit = committed.load();
        });
        // Whether or not the writer reached its call yet, it cannot get in before this.
        std::this_thread::yield();
        committed = true;
        ASSERT_EQ(transaction.commit(), ERROR_SUCCESS);
    }
    writer.join();
    EXPECT_TRUE(writerSawCommit);
    DWORD number = 0;
    EXPECT_EQ(key.queryDword(u"Value", number), ERROR_SUCCESS);
    EXPECT_EQ(number, 2u);
}

// ---- several processes -----------------------------------------------------------------

// Runs `body` in a child process; the child's exit status is body's result.
template <class Body>
pid_t spawn(Body body)
{
    const pid_t pid = ::fork();
    if (pid == 0)
        ::_exit(body());
    return pid;
}

int exitStatus(pid_t pid)
{
    int status = 0;
    ::waitpid(pid, &status, 0);
    return status;
}

TEST_F(RegistryTest, TwoProcessesWritingAtOnceLoseNothing)
{
    constexpr int kPerProcess = 40;
    auto writer = [this](const char16_t* prefix) {
        return [this, prefix] {
            std::shared_ptr<Registry> own;
            if (Registry::open(m_path, own) != ERROR_SUCCESS)
                return 1;
            RegistryKey root = RegistryKey::root(HKEY_LOCAL_MACHINE, own);
            for (int i = 0; i < kPerProcess; ++i) {
                RegistryTransaction transaction(own);
                RegistryKey host;
                const std::string index = std::to_string(i);
                const std::u16string name = std::u16string(u"hosts\\") + prefix +
                                            std::u16string(index.begin(), index.end());
                if (host.create(root, name) != ERROR_SUCCESS ||
                    host.setDword(u"Index", static_cast<DWORD>(i)) != ERROR_SUCCESS ||
                    transaction.commit() != ERROR_SUCCESS)
                    return 2;
            }
            return 0;
        };
    };
    m_hklm.close();
    m_registry.reset();  // the children open their own connections
    const pid_t first = spawn(writer(u"first-"));
    const pid_t second = spawn(writer(u"second-"));
    EXPECT_EQ(exitStatus(first), 0);
    EXPECT_EQ(exitStatus(second), 0);

    ASSERT_EQ(Registry::open(m_path, m_registry), ERROR_SUCCESS);
    RegistryKey hosts;
    ASSERT_EQ(hosts.open(RegistryKey::root(HKEY_LOCAL_MACHINE, m_registry), u"hosts"), ERROR_SUCCESS);
    EXPECT_EQ(subKeys(hosts).size(), 2u * kPerProcess);
}

TEST_F(RegistryTest, ProcessKilledInsideATransactionLeavesThePreviousState)
{
    createKey(u"connections\\kept").setString(u"UserName", u"admin");
    m_hklm.close();
    m_registry.reset();

    const pid_t child = spawn([this] {
        std::shared_ptr<Registry> own;
        if (Registry::open(m_path, own) != ERROR_SUCCESS)
            return 1;
        RegistryKey root = RegistryKey::root(HKEY_LOCAL_MACHINE, own);
        RegistryTransaction transaction(own);
        RegistryKey connections;
        connections.open(root, u"connections", KEY_ALL_ACCESS);
        connections.deleteTree(u"");
        RegistryKey partial;
        partial.create(connections, u"half-written");
        ::raise(SIGKILL);
        return 2;
    });
    const int status = exitStatus(child);
    ASSERT_TRUE(WIFSIGNALED(status));

    ASSERT_EQ(Registry::open(m_path, m_registry), ERROR_SUCCESS);
    RegistryKey connections;
    ASSERT_EQ(connections.open(RegistryKey::root(HKEY_LOCAL_MACHINE, m_registry), u"connections",
                               KEY_ALL_ACCESS),
              ERROR_SUCCESS);
    EXPECT_EQ(subKeys(connections), std::vector<std::u16string>{u"kept"});
    // The dead process's lock went with it.
    EXPECT_EQ(connections.setDword(u"Count", 1), ERROR_SUCCESS);
}

TEST(RegistryPath, ComesFromTheEnvironmentWithAFixedDefault)
{
    ::setenv("ORVDS_REGISTRY", "/tmp/elsewhere/registry.db", 1);
    EXPECT_EQ(Registry::defaultPath(), "/tmp/elsewhere/registry.db");
    ::setenv("ORVDS_REGISTRY", "", 1);
    EXPECT_EQ(Registry::defaultPath(), "/var/lib/orvds/registry.db");
    ::unsetenv("ORVDS_REGISTRY");
    EXPECT_EQ(Registry::defaultPath(), "/var/lib/orvds/registry.db");
}

TEST(RegistryPath, ProcessRegistryOpensAtTheConfiguredPath)
{
    test::TempDirectory directory;
    const auto path = directory.path() / "process.db";
    ::setenv("ORVDS_REGISTRY", path.c_str(), 1);
    Registry::setProcessRegistry(nullptr);
    RegistryKey key;
    EXPECT_EQ(key.create(RegistryKey::root(HKEY_LOCAL_MACHINE), u"Software"), ERROR_SUCCESS);
    EXPECT_TRUE(std::filesystem::exists(path));
    key.close();
    Registry::setProcessRegistry(nullptr);
    ::unsetenv("ORVDS_REGISTRY");
}

}  // namespace
}  // namespace orv::platform
