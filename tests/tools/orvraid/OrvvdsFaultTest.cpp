// The service when things go wrong around it, end to end: the service killed while an array
// makes a LUN, arrays that restart, fail over or hang while orvraid works through the
// service, a registry that cannot be written, and arrays that never answer among good ones.
// Each case ends with the service in a clear state that the next commands can build on.
#include "OrvvdsServiceFixture.h"

#include "SimArray.h"
#include "UnansweringAddress.h"

#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>

#include <cerrno>
#include <fstream>
#include <functional>
#include <memory>
#include <optional>
#include <set>

namespace {

using ::testing::HasSubstr;
using ::testing::Not;
using namespace orvraid::test;
using Merrow::UserAgent::Testing::SimArray;
using Merrow::UserAgent::Testing::simOptions;
using Merrow::UserAgent::Testing::UnansweringAddress;
using Clock = std::chrono::steady_clock;
using std::chrono::seconds;

// Long enough for every step of these tests on a loaded machine; a step that takes longer
// hangs.
constexpr seconds kNoHang{60};

std::size_t lunRows(const std::string& listing)
{
    const std::regex row("(^|\n) *LUN [0-9]+ ");
    return static_cast<std::size_t>(
        std::distance(std::sregex_iterator(listing.begin(), listing.end(), row), std::sregex_iterator()));
}

bool eventually(const std::function<bool()>& condition, seconds limit = kNoHang)
{
    const auto end = Clock::now() + limit;
    while (Clock::now() < end) {
        if (condition())
            return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    return condition();
}

double secondsSince(Clock::time_point start)
{
    return std::chrono::duration<double>(Clock::now() - start).count();
}

// A file or folder that this process, and the service it starts, cannot write until the
// object goes: the immutable attribute for root, whom the mode bits do not stop, the write
// bits otherwise.
class Unwritable {
public:
    explicit Unwritable(std::filesystem::path path) : m_path(std::move(path)) { set(true); }
    ~Unwritable() { set(false); }
    Unwritable(const Unwritable&) = delete;
    Unwritable& operator=(const Unwritable&) = delete;

private:
    void set(bool unwritable)
    {
        if (::geteuid() != 0) {
            using std::filesystem::perms;
            std::filesystem::permissions(m_path, perms::owner_write | perms::group_write | perms::others_write,
                                         unwritable ? std::filesystem::perm_options::remove
                                                    : std::filesystem::perm_options::add);
            return;
        }
        const int fd = ::open(m_path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
        ASSERT_GE(fd, 0) << m_path;
        int flags = 0;
        ASSERT_EQ(::ioctl(fd, FS_IOC_GETFLAGS, &flags), 0) << std::strerror(errno);
        flags = unwritable ? flags | FS_IMMUTABLE_FL : flags & ~FS_IMMUTABLE_FL;
        EXPECT_EQ(::ioctl(fd, FS_IOC_SETFLAGS, &flags), 0) << std::strerror(errno);
        ::close(fd);
    }

    std::filesystem::path m_path;
};

class OrvvdsFaultTest : public OrvvdsServiceFixture {
protected:
    void startFaultServer()
    {
        const Outcome registered = run(ORVVDS_FAULT_SERVER, {"-RegServer"});
        ASSERT_EQ(registered.status, 0) << registered.err;
        startServer({ORVVDS_FAULT_SERVER});
    }

    // A simulated array that outlives the service: a service stopped after its arrays are
    // gone would wait out its request time-out for each of their log-offs.
    SimArray& startArray(const std::string& address) { return startArray(simOptions(address)); }
    SimArray& startArray(Merrow::Sim::SimulatorOptions options)
    {
        m_arrays.push_back(std::make_unique<SimArray>(std::move(options)));
        return *m_arrays.back();
    }

    static std::string addArray(const std::string& host)
    {
        return "add array host=" + host + " user=admin password=secret\n";
    }

    // "select subsystem <n>" for the subsystem of the array at `host`, as the service lists
    // it now; empty when it lists none.
    std::string selectArray(const std::string& host)
    {
        const Outcome listed = runProduct("list subsystems\n");
        std::smatch match;
        const std::regex row("\n *Subsystem ([0-9]+) +[^\n]*" + std::regex_replace(host, std::regex("\\."), "\\.") +
                             "[ \n]");
        if (!std::regex_search(listed.out, match, row))
            return "";
        return "select subsystem " + match[1].str() + "\n";
    }

    // orvraid running `script` against the service, not waited for.
    pid_t startScript(const std::string& script, const std::string& name)
    {
        const std::filesystem::path path = directory.path() / (name + ".txt");
        std::ofstream(path) << script;
        return spawn({ORVRAID_PROGRAM, "/s", path.string()}, name);
    }

    // The child's exit status; nullopt, with the child killed, when it had not ended in time.
    static std::optional<int> exitStatusWithin(pid_t child, seconds limit)
    {
        int status = 0;
        if (!eventually([&] { return ::waitpid(child, &status, WNOHANG) == child; }, limit)) {
            ::kill(child, SIGKILL);
            ::waitpid(child, &status, 0);
            return std::nullopt;
        }
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }

    // The LUNs the service lists for the array at `host` are exactly the array's volumes.
    void expectLunsMatchTheArray(SimArray& array, const std::string& host)
    {
        const Outcome listed = runProduct(selectArray(host) + "list luns\n");
        ASSERT_EQ(listed.status, 0) << listed.err;
        const std::set<std::string> names = array.volumeNames();
        EXPECT_EQ(lunRows(listed.out), names.size()) << listed.out;
        for (const std::string& name : names)
            EXPECT_THAT(listed.out, HasSubstr(name));
    }

    // Runs `script` until it succeeds; false when it never did within kNoHang.
    bool succeedsEventually(const std::function<std::string()>& script)
    {
        return eventually([&] { return runProduct(script()).status == 0; });
    }

private:
    std::vector<std::unique_ptr<SimArray>> m_arrays;
};

TEST_F(OrvvdsFaultTest, AServiceKilledWhileTheArrayMakesALunLeavesNothingThatStopsTheNext)
{
    auto options = simOptions("127.97.1.1");
    options.jobs = true;
    options.jobMilliseconds = 3000;
    SimArray& array = startArray(options);
    startService();
    ASSERT_EQ(runProduct(addArray("127.97.1.1")).status, 0);
    const std::size_t before = array.volumeNames().size();

    const pid_t creator = startScript("select subsystem 0\ncreate lun simple size=1GB\n", "create");
    ASSERT_TRUE(eventually([&] { return array.control().lastCall("CreateVolume").has_value(); }));
    killService();
    // The front end of the killed service says so and ends instead of waiting for it.
    const std::optional<int> creatorStatus = exitStatusWithin(creator, kNoHang);
    ASSERT_TRUE(creatorStatus.has_value()) << "orvraid waits for a service that is gone";
    EXPECT_NE(*creatorStatus, 0);
    EXPECT_THAT(readFile(directory.path() / "create.err"), HasSubstr("before the command finished"));
    EXPECT_TRUE(std::filesystem::exists(socket)) << "a killed service cannot remove its socket";

    // The lock and the socket of the killed service do not stop the next one.
    ASSERT_NO_FATAL_FAILURE(startService());
    // The array went on with its job: the LUN is there, and the new service lists it.
    EXPECT_EQ(array.volumeNames().size(), before + 1);
    expectLunsMatchTheArray(array, "127.97.1.1");

    const Outcome again = runProduct("select subsystem 0\ncreate lun simple size=1GB\n");
    EXPECT_EQ(again.status, 0) << again.err;
    EXPECT_EQ(array.volumeNames().size(), before + 2);
    expectLunsMatchTheArray(array, "127.97.1.1");
}

TEST_F(OrvvdsFaultTest, AHungArrayFailsItsCommandsInTimeAndRecoversByItself)
{
    SimArray& hung = startArray("127.97.2.1");
    SimArray& good = startArray("127.97.2.2");
    startFaultServer();
    ASSERT_EQ(runProduct(addArray("127.97.2.1") + addArray("127.97.2.2")).status, 0);
    const std::string selectHung = selectArray("127.97.2.1");
    const std::string selectGood = selectArray("127.97.2.2");
    ASSERT_FALSE(selectHung.empty());

    hung.control().setHang(true);
    const auto start = Clock::now();
    const Outcome onHung = runProduct(selectHung + "create lun simple size=1GB\n");
    EXPECT_EQ(onHung.status, 4) << onHung.out << onHung.err;
    EXPECT_THAT(onHung.err, HasSubstr("Could not create the LUN"));
    EXPECT_LT(secondsSince(start), kNoHang.count());

    const Outcome onGood = runProduct(selectGood + "create lun simple size=1GB\n");
    EXPECT_EQ(onGood.status, 0) << onGood.err;

    hung.control().setHang(false);
    EXPECT_TRUE(succeedsEventually([&] { return selectArray("127.97.2.1") + "create lun simple size=1GB\n"; }));
    expectLunsMatchTheArray(hung, "127.97.2.1");
    expectLunsMatchTheArray(good, "127.97.2.2");
}

TEST_F(OrvvdsFaultTest, ARestartingArrayFailsItsCommandsAndIsUsableOnceBack)
{
    SimArray& restarting = startArray("127.97.2.3");
    startArray("127.97.2.4");
    restarting.control().setRestartTime(3000);
    startFaultServer();
    ASSERT_EQ(runProduct(addArray("127.97.2.3") + addArray("127.97.2.4")).status, 0);
    const std::string selectRestarting = selectArray("127.97.2.3");
    ASSERT_FALSE(selectRestarting.empty());

    const Outcome reset = runProduct(selectRestarting + "select controller 0\nreset controller\n");
    ASSERT_EQ(reset.status, 0) << reset.err;
    ASSERT_TRUE(eventually([&] { return !restarting.simulator().poweredOn(); }, seconds(10)));
    const Outcome whileDown = runProduct(selectRestarting + "create lun simple size=1GB\n");
    EXPECT_EQ(whileDown.status, 4) << whileDown.out << whileDown.err;
    EXPECT_FALSE(whileDown.err.empty());
    const Outcome onGood = runProduct(selectArray("127.97.2.4") + "create lun simple size=1GB\n");
    EXPECT_EQ(onGood.status, 0) << onGood.err;

    EXPECT_TRUE(succeedsEventually([&] { return selectArray("127.97.2.3") + "create lun simple size=1GB\n"; }));
    expectLunsMatchTheArray(restarting, "127.97.2.3");
}

TEST_F(OrvvdsFaultTest, AControllerFailoverIsFollowedWithoutHelp)
{
    // Firmware that names its active controller in the ping object, which the keep-alive
    // probe watches.
    SimArray& array = startArray(simOptions("127.97.2.5", "91.0.0.0"));
    startFaultServer();
    ASSERT_EQ(runProduct(addArray("127.97.2.5")).status, 0);
    const std::uint16_t slot = array.control().activeSlot();
    array.control().failover();
    ASSERT_NE(array.control().activeSlot(), slot);
    // The probe sees the other controller and drops the link; the provider logs in again.
    EXPECT_TRUE(succeedsEventually([] { return std::string("select subsystem 0\ncreate lun simple size=1GB\n"); }));
    expectLunsMatchTheArray(array, "127.97.2.5");
}

TEST_F(OrvvdsFaultTest, AnUnwritableRegistryRefusesArrayChangesAndKeepsTheList)
{
    // The registry in a folder of its own, so that the folder can be made unwritable
    // without the test's own files.
    const std::filesystem::path folder = directory.path() / "state";
    std::filesystem::create_directories(folder);
    registryPath = (folder / "registry.db").string();
    startArray("127.97.3.1");
    startArray("127.97.3.2");
    startService();
    ASSERT_EQ(runProduct(addArray("127.97.3.1")).status, 0);

    for (const std::filesystem::path& unwritable : {std::filesystem::path(registryPath), folder}) {
        SCOPED_TRACE(unwritable);
        {
            const Unwritable guard(unwritable);
            const Outcome add = runProduct(addArray("127.97.3.2"));
            EXPECT_EQ(add.status, 4) << add.out << add.err;
            EXPECT_THAT(add.err, HasSubstr("Could not add the array at 127.97.3.2"));
            EXPECT_THAT(add.err, HasSubstr(unwritable.string() + " cannot be written"));
            const Outcome remove = runProduct("remove array host=127.97.3.1\n");
            EXPECT_EQ(remove.status, 4) << remove.out << remove.err;
            EXPECT_THAT(remove.err, HasSubstr(unwritable.string() + " cannot be written"));

            // The list read back and the provider's subsystems are the old ones.
            const Outcome listed = runProduct("list arrays\nlist subsystems\n");
            EXPECT_EQ(listed.status, 0) << listed.err;
            EXPECT_THAT(listed.out, HasSubstr("127.97.3.1"));
            EXPECT_THAT(listed.out, Not(HasSubstr("127.97.3.2")));
            EXPECT_THAT(listed.out, HasSubstr("Subsystem 0 "));
            EXPECT_THAT(listed.out, Not(HasSubstr("Subsystem 1 ")));
        }
        // Nothing half-saved stands in the way once the registry can be written again.
        const Outcome added = runProduct(addArray("127.97.3.2") + "remove array host=127.97.3.2\n");
        EXPECT_EQ(added.status, 0) << added.err;
    }
    // What the registry holds is what the next service finds.
    stopService();
    startService();
    const Outcome listed = runProduct("list arrays\n");
    EXPECT_THAT(listed.out, HasSubstr("127.97.3.1"));
    EXPECT_THAT(listed.out, Not(HasSubstr("127.97.3.2")));
}

TEST_F(OrvvdsFaultTest, ArraysThatNeverAnswerDoNotHoldUpTheOthers)
{
    SimArray& first = startArray("127.97.4.1");
    startArray("127.97.4.2");
    SimArray& silent = startArray("127.97.4.3");
    const UnansweringAddress unreachable("127.97.4.4");
    startFaultServer();
    ASSERT_EQ(runProduct(addArray("127.97.4.1") + addArray("127.97.4.2")).status, 0);
    silent.control().setHang(true);
    const auto adding = Clock::now();
    EXPECT_EQ(runProduct(addArray("127.97.4.3") + addArray("127.97.4.4")).status, 0);
    EXPECT_LT(secondsSince(adding), kNoHang.count());

    // The background thread keeps trying the two while the good arrays are used.
    const std::string selectFirst = selectArray("127.97.4.1");
    ASSERT_FALSE(selectFirst.empty());
    for (int round = 0; round < 3; ++round) {
        const auto listing = Clock::now();
        const Outcome listed = runProduct("list subsystems\n");
        EXPECT_LT(secondsSince(listing), kNoHang.count());
        EXPECT_EQ(listed.status, 0) << listed.err;
        EXPECT_THAT(listed.out, HasSubstr("Subsystem 3 "));
        const auto creating = Clock::now();
        const Outcome created = runProduct(selectFirst + "create lun simple size=1GB\n");
        EXPECT_LT(secondsSince(creating), kNoHang.count());
        EXPECT_EQ(created.status, 0) << created.err;
    }
    expectLunsMatchTheArray(first, "127.97.4.1");

    // The silent array is taken up by itself once it answers.
    silent.control().setHang(false);
    EXPECT_TRUE(succeedsEventually([&] { return selectArray("127.97.4.3") + "create lun simple size=1GB\n"; }));
}

}  // namespace
