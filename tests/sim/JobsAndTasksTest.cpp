#include "SimTestSupport.h"

#include "sim/ArrayFailureCodes.h"
#include "sim/JobControl.h"

namespace Merrow::Sim {
namespace {

using namespace Testing;
using cim::CIMValue;

const cim::CIMObjectPath kService = servicePath("Merrow_StorageConfigurationService");
const cim::CIMObjectPath kControl("", Namespaces::Control, ControlHandler::kClassName);
const cim::CIMObjectPath kVol001 = deviceIdPath("CIM_StorageVolume", "3a000001");
constexpr std::uint64_t GiB = 1ull << 30;
constexpr std::uint32_t kJobMs = 2000;

using Status = std::vector<std::uint16_t>;

class Jobs : public testing::Test {
protected:
    cim::CIMObjectPath startCreation(const std::string& name) {
        const auto response =
            array.send(invoke(kService, "CreateVolume",
                              {param("ElementName", CIMValue(name)), param("Size", CIMValue(GiB)),
                               param("VolumeOrganization", CIMValue(std::uint16_t{1}))}));
        EXPECT_EQ(returnValue(response), ArrayFailure::JobStarted);
        return outParam(response, "Job")->get<cim::CIMObjectPath>();
    }
    cim::CIMObjectPath startScan() {
        const auto response = array.send(invoke(kService, "ScanStorageElement",
                                                {param("ScanType", CIMValue(std::uint16_t{2})),
                                                 param("StorageElement", CIMValue(kVol001))}));
        EXPECT_EQ(returnValue(response), ArrayFailure::JobStarted);
        return outParam(response, "Job")->get<cim::CIMObjectPath>();
    }
    // Run time in milliseconds of a job of kJobMs.
    void run(std::int64_t elapsedMs) {
        array.model.update([&](ModelTransaction& transaction) {
            JobControl::advance(transaction, elapsedMs, 1, kJobMs, 60000);
        });
    }
    cim::CIMInstance job(const cim::CIMObjectPath& path) {
        const auto response =
            array.send(intrinsic("GetInstance", {param("InstanceName", CIMValue(path))}));
        EXPECT_EQ(statusOf(response), 0);
        return response.instances.empty() ? cim::CIMInstance() : response.instances.at(0);
    }
    Status status(const cim::CIMObjectPath& path) {
        return job(path).getPropertyValue("OperationalStatus").get<Status>();
    }
    std::uint32_t task(const char* method, const cim::CIMObjectPath& path) {
        return returnValue(array.send(invoke(kService, method, {param("Job", CIMValue(path))})));
    }
    std::size_t volumeCount() { return enumerate(array, "CIM_StorageVolume").size(); }

    SimulatedArray array{smallArray(), true};
};

TEST_F(Jobs, AJobArmedToFailEndsPartWayWithTheErrorAClientReads) {
    ASSERT_EQ(array.control.failNextJob(ArrayFailure::DeviceFailure, "", 50), ControlResult::Ok);
    const auto doomed = startCreation("doomed");
    run(kJobMs / 5);
    EXPECT_EQ(status(doomed), Status{JobStatus::Running});
    EXPECT_EQ(volumeCount(), 3u);

    run(kJobMs / 2);
    const auto failed = job(doomed);
    EXPECT_EQ(failed.getPropertyValue("OperationalStatus").get<Status>().at(0), JobStatus::Failed);
    EXPECT_EQ(failed.getPropertyValue("JobState"), CIMValue(std::uint16_t{10}));
    EXPECT_EQ(failed.getPropertyValue("PercentComplete"), CIMValue(std::uint16_t{50}));
    EXPECT_EQ(failed.getPropertyValue("ErrorCode"), CIMValue(std::uint16_t{280}));
    EXPECT_EQ(stringOf(failed, "ErrorDescription"), "Operation failed due to a device failure");
    // A volume whose creation failed is not left behind half made.
    EXPECT_EQ(volumeCount(), 2u);

    // The failure was for one job only.
    const auto next = startCreation("fine");
    run(kJobMs);
    EXPECT_EQ(status(next), Status{JobStatus::Completed});
    EXPECT_FALSE(job(next).hasProperty("ErrorDescription"));
    EXPECT_EQ(volumeCount(), 3u);
}

TEST_F(Jobs, AFailedReconfigurationLeavesTheVolumeAsItWas) {
    const auto before = array.model.read(
        [](const ModelView& view) { return view.state.volumes.at("3a000001").layout.blocks; });
    ASSERT_EQ(
        array.control.failNextJob(ArrayFailure::NotEnoughSpace, "disk 3 stopped answering", 0),
        ControlResult::Ok);
    const auto response =
        array.send(invoke(kService, "ReconfigureVolume",
                          {param("Volume", CIMValue(kVol001)), param("Size", CIMValue(4 * GiB)),
                           param("VolumeOrganization", CIMValue(std::uint16_t{2})),
                           param("StripeWidth", CIMValue(std::uint8_t{2}))}));
    ASSERT_EQ(returnValue(response), ArrayFailure::JobStarted);
    const auto jobPath = outParam(response, "Job")->get<cim::CIMObjectPath>();
    run(kJobMs / 10);
    EXPECT_EQ(stringOf(job(jobPath), "ErrorDescription"), "disk 3 stopped answering");
    EXPECT_EQ(job(jobPath).getPropertyValue("PercentComplete"), CIMValue(std::uint16_t{0}));
    EXPECT_EQ(walk(array, kVol001, {{"Merrow_VolumeReconfiguring", "CIM_StorageVolume"}}).size(),
              0u);
    array.model.read([&](const ModelView& view) {
        EXPECT_EQ(view.state.volumes.at("3a000001").layout.blocks, before);
        EXPECT_FALSE(view.state.volumes.at("3a000001").reconfiguration.has_value());
    });
    // The volume can be changed again at once.
    EXPECT_EQ(returnValue(array.send(
                  invoke(kService, "ReconfigureVolume",
                         {param("Volume", CIMValue(kVol001)), param("Size", CIMValue(2 * GiB)),
                          param("VolumeOrganization", CIMValue(std::uint16_t{1}))}))),
              ArrayFailure::JobStarted);
}

TEST_F(Jobs, AHeldJobWaitsUntilReleased) {
    array.control.holdNextJob();
    const auto held = startCreation("held");
    run(10 * kJobMs);
    const auto waiting = job(held);
    EXPECT_EQ(waiting.getPropertyValue("OperationalStatus"), CIMValue(Status{JobStatus::Waiting}));
    EXPECT_EQ(waiting.getPropertyValue("PercentComplete"), CIMValue(std::uint16_t{0}));
    EXPECT_FALSE(waiting.hasProperty("StartTime"));
    // Only the next job was held.
    const auto other = startCreation("other");
    EXPECT_EQ(status(other), Status{JobStatus::Running});

    EXPECT_EQ(array.control.releaseJobs(), ControlResult::Ok);
    EXPECT_EQ(status(held), Status{JobStatus::Running});
    run(kJobMs);
    EXPECT_EQ(status(held), Status{JobStatus::Completed});
    EXPECT_EQ(array.control.releaseJobs(), ControlResult::NotFound);
}

TEST_F(Jobs, TheControlClassArmsAndReleasesJobs) {
    EXPECT_EQ(returnValue(array.send(invoke(kControl, "FailNextJob",
                                            {param("Percent", CIMValue(std::uint16_t{100}))}))),
              2u);
    EXPECT_EQ(returnValue(array.send(
                  invoke(kControl, "FailNextJob", {param("Code", CIMValue(std::uint32_t{0}))}))),
              2u);
    ASSERT_EQ(returnValue(array.send(
                  invoke(kControl, "FailNextJob",
                         {param("Code", CIMValue(std::uint32_t{ArrayFailure::InternalError})),
                          param("Percent", CIMValue(std::uint16_t{20}))}))),
              0u);
    ASSERT_EQ(returnValue(array.send(invoke(kControl, "HoldNextJob"))), 0u);
    const auto scan = startScan();
    EXPECT_EQ(status(scan), Status{JobStatus::Waiting});
    EXPECT_EQ(returnValue(array.send(invoke(kControl, "ReleaseJobs"))), 0u);
    run(kJobMs / 2);
    EXPECT_EQ(status(scan).at(0), JobStatus::Failed);
    EXPECT_EQ(stringOf(job(scan), "ErrorDescription"), "Internal Error");
    EXPECT_EQ(returnValue(array.send(invoke(kControl, "ReleaseJobs"))), 1u);
}

// How each task method treats a job in each state the client can show.
enum class JobState { Running, Waiting, Paused, Completed, Failed, Cancelled };

struct TaskCase {
    const char* description;
    JobState state;
    const char* method;
    std::uint32_t result;
    // The job's status afterwards; 0 when the job is gone.
    std::uint16_t after;
};

void PrintTo(const TaskCase& c, std::ostream* os) {
    *os << c.description;
}

class TaskMethodsByState : public Jobs, public testing::WithParamInterface<TaskCase> {
protected:
    cim::CIMObjectPath jobIn(JobState state) {
        if (state == JobState::Waiting)
            array.control.holdNextJob();
        if (state == JobState::Failed)
            array.control.failNextJob(ArrayFailure::DeviceFailure, "", 50);
        const auto path = startScan();
        if (state == JobState::Paused) {
            EXPECT_EQ(task("SuspendTask", path), ArrayFailure::Ok);
        }
        if (state == JobState::Cancelled) {
            EXPECT_EQ(task("AbortTask", path), ArrayFailure::Ok);
        }
        if (state == JobState::Completed || state == JobState::Failed)
            run(kJobMs);
        return path;
    }
};

TEST_P(TaskMethodsByState, AnswerAsTheJobsStateAllows) {
    const TaskCase& c = GetParam();
    const auto path = jobIn(c.state);
    const auto before = job(path).getPropertyValue("OperationalStatus").get<Status>().at(0);
    std::vector<cim::CIMParamValue> params{param("Job", CIMValue(path))};
    if (std::string(c.method) == "RescheduleTask")
        params.push_back(param("ScheduledTaskPriority", CIMValue(std::uint32_t{3})));
    EXPECT_EQ(returnValue(array.send(invoke(kService, c.method, params))), c.result);
    const auto after =
        array.send(intrinsic("GetInstance", {param("InstanceName", CIMValue(path))}));
    if (c.after == 0) {
        EXPECT_EQ(statusOf(after), 6);
        return;
    }
    ASSERT_EQ(statusOf(after), 0);
    EXPECT_EQ(after.instances.at(0).getPropertyValue("OperationalStatus").get<Status>().at(0),
              c.result == ArrayFailure::Ok ? c.after : before);
}

constexpr std::uint32_t kOk = ArrayFailure::Ok;
constexpr std::uint32_t kNo = ArrayFailure::InvalidRequest;

INSTANTIATE_TEST_SUITE_P(
    States, TaskMethodsByState,
    testing::Values(
        TaskCase{"abort running", JobState::Running, "AbortTask", kOk, JobStatus::Cancelled},
        TaskCase{"abort waiting", JobState::Waiting, "AbortTask", kOk, JobStatus::Cancelled},
        TaskCase{"abort paused", JobState::Paused, "AbortTask", kOk, JobStatus::Cancelled},
        TaskCase{"abort completed", JobState::Completed, "AbortTask", kNo, JobStatus::Completed},
        TaskCase{"abort failed", JobState::Failed, "AbortTask", kNo, JobStatus::Failed},
        TaskCase{"delete running", JobState::Running, "DeleteTask", kNo, JobStatus::Running},
        TaskCase{"delete waiting", JobState::Waiting, "DeleteTask", kNo, JobStatus::Waiting},
        TaskCase{"delete completed", JobState::Completed, "DeleteTask", kOk, 0},
        TaskCase{"delete failed", JobState::Failed, "DeleteTask", kOk, 0},
        TaskCase{"delete cancelled", JobState::Cancelled, "DeleteTask", kOk, 0},
        TaskCase{"suspend running", JobState::Running, "SuspendTask", kOk, JobStatus::Paused},
        TaskCase{"suspend waiting", JobState::Waiting, "SuspendTask", kNo, JobStatus::Waiting},
        TaskCase{"suspend failed", JobState::Failed, "SuspendTask", kNo, JobStatus::Failed},
        TaskCase{"resume paused", JobState::Paused, "ResumeTask", kOk, JobStatus::Running},
        TaskCase{"resume waiting", JobState::Waiting, "ResumeTask", kNo, JobStatus::Waiting},
        TaskCase{"resume completed", JobState::Completed, "ResumeTask", kNo, JobStatus::Completed},
        TaskCase{"reschedule waiting", JobState::Waiting, "RescheduleTask", kOk,
                 JobStatus::Waiting},
        TaskCase{"reschedule failed", JobState::Failed, "RescheduleTask", kNo, JobStatus::Failed}));

// The client names a task's object from the job's "Owner": a disk for ids starting "38",
// a volume for "3a"; the job's CIM_AffectedJobElement must lead to the same object.
class JobOwners : public Jobs {
protected:
    std::string objectNameOf(const cim::CIMObjectPath& jobPath) {
        const std::string owner = stringOf(job(jobPath), "Owner");
        const char* className = owner.rfind("38", 0) == 0 ? "CIM_DiskDrive" : "CIM_StorageVolume";
        const auto response = array.send(intrinsic(
            "GetInstance", {param("InstanceName", CIMValue(deviceIdPath(className, owner)))}));
        return response.instances.empty() ? "N/A"
                                          : stringOf(response.instances.at(0), "ElementName");
    }
    std::vector<std::string> affectedNames(const cim::CIMObjectPath& jobPath) {
        const auto response = array.send(
            intrinsic("Associators", {param("ObjectName", CIMValue(jobPath)),
                                      param("AssocClass", CIMValue("CIM_AffectedJobElement"))}));
        std::vector<std::string> names;
        for (const cim::CIMObject& object : response.objects)
            names.push_back(stringOf(object.getInstance(), "ElementName"));
        return names;
    }
    cim::CIMObjectPath diskJob(const char* method, const char* diskId) {
        const auto response = array.send(
            invoke(kService, method,
                   {param("StorageDevice", CIMValue(deviceIdPath("CIM_DiskDrive", diskId)))}));
        EXPECT_EQ(returnValue(response), ArrayFailure::JobStarted) << method;
        return outParam(response, "Job")->get<cim::CIMObjectPath>();
    }
};

TEST_F(JobOwners, NameTheVolumeOrDiskTheJobWorksOn) {
    const auto creation = startCreation("owned");
    const auto scan = startScan();
    const auto init = diskJob("InitializeStorageDevice", "38000005");
    const auto down = diskJob("RemoveStorageDevice", "38000006");
    EXPECT_EQ(objectNameOf(creation), "owned");
    EXPECT_EQ(objectNameOf(scan), "vol001");
    EXPECT_EQ(objectNameOf(init), "Disk 5");
    EXPECT_EQ(objectNameOf(down), "Disk 6");
    EXPECT_EQ(affectedNames(creation), std::vector<std::string>{"owned"});
    EXPECT_EQ(affectedNames(scan), std::vector<std::string>{"vol001"});
    EXPECT_EQ(affectedNames(init), std::vector<std::string>{"Disk 5"});
    EXPECT_EQ(affectedNames(down), std::vector<std::string>{"Disk 6"});
    // A volume's tasks are found from the volume.
    EXPECT_EQ(walk(array, kVol001, {{"CIM_AffectedJobElement", "CIM_ConcreteJob"}}).size(), 1u);
}

TEST_F(JobOwners, AJobWhoseVolumeWentAwayNamesNothing) {
    array.control.failNextJob(ArrayFailure::DeviceFailure, "", 10);
    const auto creation = startCreation("short-lived");
    run(kJobMs);
    EXPECT_EQ(objectNameOf(creation), "N/A");
    EXPECT_TRUE(affectedNames(creation).empty());
}

} // namespace
} // namespace Merrow::Sim
