// The service (orvvds as its unit starts it) holding 4 simulated arrays of 1,000 volumes:
//   1. "list luns" of one subsystem through the socket, cold once, then warm (the provider
//      has listed every subsystem's LUNs once), p50 and p99 of 50 runs;
//   2. the service's resident memory with the 4 arrays listed;
//   3. its resident memory while the arrays change: volumes made and deleted on all 4
//      arrays in rounds (each round makes 50 volumes on each array, waits until the service
//      has announced every one, then deletes them and waits for their departures), sampled
//      every 2,000 changes, so a structure that grows with the changes shows as a trend.
//
// Run by hand: build/bin/service_scale_bench [changes] (default 100,000; a day at 10 a
// second is 864,000). The arrays listen on 127.98.250.1 to .4; the service runs as a child
// in a folder of its own. SERVICE_BENCH_WRAPPER=heaptrack runs the service under heaptrack.
#include "ServiceBenchSupport.h"
#include "SimArray.h"

#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

using namespace service_bench;
using Merrow::UserAgent::Testing::SimArray;

namespace {

constexpr int kArrays = 4;
constexpr unsigned kVolumes = 1000;
constexpr int kVolumesPerRound = 50;  // on each array
constexpr long kSampleEvery = 2000;

std::string arrayHost(int index) { return "127.98.250." + std::to_string(index + 1); }

// Counts the LUN arrivals and departures the service sends to a watching connection.
// m_mutex guards the counts; the reader thread adds to them.
class LunWatch {
public:
    explicit LunWatch(const ScratchService& service) : m_client(service.connect(m_out, m_err))
    {
        std::string error;
        if (!m_client->startWatch(error)) {
            std::printf("cannot watch: %s\n", error.c_str());
            std::exit(1);
        }
        m_reader = std::thread([this] {
            std::string error;
            m_client->readNotifications([this](const orvraid::protocol::Notification& n) { count(n.text); },
                                        error);
        });
    }
    ~LunWatch()
    {
        m_client->shutdown();
        m_reader.join();
    }
    LunWatch(const LunWatch&) = delete;
    LunWatch& operator=(const LunWatch&) = delete;

    bool waitFor(long arrivals, long departures, std::chrono::seconds limit)
    {
        std::unique_lock lock(m_mutex);
        return m_changed.wait_for(lock, limit,
                                  [&] { return m_arrivals >= arrivals && m_departures >= departures; });
    }

private:
    void count(const std::string& text)
    {
        std::lock_guard lock(m_mutex);
        if (text.rfind("LUN arrived", 0) == 0)
            ++m_arrivals;
        else if (text.rfind("LUN departed", 0) == 0)
            ++m_departures;
        m_changed.notify_all();
    }

    std::ostringstream m_out;
    std::ostringstream m_err;
    std::unique_ptr<orvraid::ServiceClient> m_client;
    std::thread m_reader;
    std::mutex m_mutex;
    std::condition_variable m_changed;
    long m_arrivals = 0;
    long m_departures = 0;
};

std::vector<std::unique_ptr<SimArray>> startArrays()
{
    std::vector<std::unique_ptr<SimArray>> arrays;
    for (int i = 0; i < kArrays; ++i) {
        auto options = Merrow::UserAgent::Testing::simOptions(arrayHost(i));
        options.array.volumes = kVolumes;
        options.array.volumeBytes = 64ull << 20;
        options.array.disks = 16;
        options.array.diskBytes = 600'000'000'000ull;
        arrays.push_back(std::make_unique<SimArray>(std::move(options)));
    }
    return arrays;
}

void measureListing(orvraid::ServiceClient& client, std::ostringstream& out)
{
    client.execute("select subsystem 0");
    out.str("");
    const Clock::time_point coldStart = Clock::now();
    if (client.execute("list luns") != orvraid::ExitCode::Success)
        std::printf("list luns failed\n");
    std::printf("%-58s %8.2f ms\n", "first list luns of subsystem 0 (cold)", ms(Clock::now() - coldStart));
    const std::string listing = out.str();
    std::printf("lines of output: %zd\n", std::count(listing.begin(), listing.end(), '\n'));
    for (int i = 1; i < kArrays; ++i) {
        client.execute("select subsystem " + std::to_string(i));
        client.execute("list luns");
    }
    client.execute("select subsystem 0");
    std::vector<double> warm;
    for (int i = 0; i < 50; ++i) {
        const Clock::time_point start = Clock::now();
        client.execute("list luns");
        warm.push_back(ms(Clock::now() - start));
    }
    report("list luns of subsystem 0, connection held (warm)", warm);
}

// One round: kVolumesPerRound volumes made on each array, then deleted; returns the
// number of changes, or 0 when the service did not announce them in time.
long churnRound(std::vector<std::unique_ptr<SimArray>>& arrays, LunWatch& watch, long round, long& made)
{
    std::vector<std::string> ids;
    for (int v = 0; v < kVolumesPerRound; ++v) {
        for (auto& array : arrays) {
            std::string id;
            array->control().addVolume("churn-" + std::to_string(round) + "-" + std::to_string(v), 64ull << 20, id);
            ids.push_back(id);
        }
    }
    if (!watch.waitFor(made + static_cast<long>(ids.size()), made, std::chrono::seconds(120))) {
        std::printf("round %ld: the service did not announce the new LUNs within 120 s\n", round);
        return 0;
    }
    for (std::size_t i = 0; i < ids.size(); ++i)
        arrays[i % arrays.size()]->control().removeVolume(ids[i]);
    made += static_cast<long>(ids.size());
    if (!watch.waitFor(made, made, std::chrono::seconds(120))) {
        std::printf("round %ld: the service did not announce the departures within 120 s\n", round);
        return 0;
    }
    return 2 * static_cast<long>(ids.size());
}

void measureChurn(std::vector<std::unique_ptr<SimArray>>& arrays, const ScratchService& service, long changes)
{
    LunWatch watch(service);
    const long startKiB = residentKiB(service.servicePid());
    const Clock::time_point start = Clock::now();
    long done = 0;
    long made = 0;
    long nextSample = kSampleEvery;
    for (long round = 0; done < changes; ++round) {
        const long inRound = churnRound(arrays, watch, round, made);
        if (inRound == 0)
            break;
        done += inRound;
        if (done >= nextSample || done >= changes) {
            const double seconds = ms(Clock::now() - start) / 1000;
            const long kib = residentKiB(service.servicePid());
            std::printf("after %7ld changes: resident %8ld KiB (%+7ld KiB), %6.0f s, %5.0f changes/s\n", done, kib,
                        kib - startKiB, seconds, done / seconds);
            std::fflush(stdout);
            nextSample += kSampleEvery;
        }
    }
    std::uint64_t dropped = 0;
    for (auto& array : arrays)
        dropped += array->simulator().indications().dropped();
    std::printf("indications the arrays dropped: %llu\n", static_cast<unsigned long long>(dropped));
}

}  // namespace

int main(int argc, char** argv)
{
    const long changes = argc > 1 ? std::strtol(argv[1], nullptr, 10) : 100'000;
    auto arrays = startArrays();
    ScratchService service;
    std::ostringstream out;
    std::ostringstream err;
    std::unique_ptr<orvraid::ServiceClient> client = service.connect(out, err);
    for (int i = 0; i < kArrays; ++i)
        client->execute("add array host=" + arrayHost(i) + " user=admin password=secret");

    measureListing(*client, out);
    std::printf("%-58s %8ld KiB\n", "service resident memory, 4 arrays listed", residentKiB(service.servicePid()));
    measureChurn(arrays, service, changes);
    out.str("");
    client->execute("list luns");
    std::printf("%-58s %8ld KiB\n", "service resident memory at the end", residentKiB(service.servicePid()));
    client.reset();
    return 0;
}
