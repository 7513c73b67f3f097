// The array's restart and shut-down: which power cycle each answered request asks for, that
// refused requests ask for none, and the restart time set through the control class.

#include "SimTestSupport.h"

#include "sim/ArrayFailureCodes.h"

#include <gtest/gtest.h>

#include <vector>

namespace Merrow::Sim {
namespace {

using namespace Testing;
using cim::CIMValue;

class PowerCycleTest : public ::testing::Test {
protected:
    PowerCycleTest()
    {
        array.faults.setPowerHandler([this](PowerCycle cycle) { cycles.push_back(cycle); });
    }

    std::uint32_t initiateShutdown(bool restart)
    {
        return returnValue(array.send(invoke(servicePath("Merrow_StorageConfigurationService"), "InitiateShutdown",
                                             {param("Restart", CIMValue(restart))})));
    }

    SimulatedArray array;
    std::vector<PowerCycle> cycles;
};

TEST_F(PowerCycleTest, AnsweredShutdownRequestsTakeTheArrayDown)
{
    std::string sessionId;
    ASSERT_EQ(array.control.addSession("iqn.2026-12.com.example:power", "3a000001", sessionId), ControlResult::Ok);
    EXPECT_EQ(initiateShutdown(true), ArrayFailure::Ok);
    EXPECT_EQ(initiateShutdown(false), ArrayFailure::Ok);
    EXPECT_EQ(cycles, (std::vector<PowerCycle>{PowerCycle::Restart, PowerCycle::ShutDown}));
    EXPECT_TRUE(array.model.read([](const ModelView& view) { return view.state.sessions.empty(); }));

    array.control.powerOn();
    EXPECT_EQ(cycles.back(), PowerCycle::PowerOn);
}

TEST_F(PowerCycleTest, RefusedRequestsAndOtherMethodsLeaveThePowerAlone)
{
    array.control.failNextCalls("InitiateShutdown", 1, ArrayFailure::InvalidRequest);
    EXPECT_EQ(initiateShutdown(true), ArrayFailure::InvalidRequest);
    EXPECT_EQ(returnValue(array.send(invoke(servicePath("Merrow_StorageConfigurationService"), "ForceControllerFailover"))),
              ArrayFailure::Ok);
    EXPECT_EQ(returnValue(array.send(invoke(servicePath("Merrow_StorageConfigurationService"), "WritePersistenceData",
                                            {param("Data", CIMValue(std::string())),
                                             param("PersistenceSetting", CIMValue(std::uint16_t{2}))}))),
              1u);
    EXPECT_TRUE(cycles.empty());
}

TEST_F(PowerCycleTest, RestartTimeIsSetThroughTheControlClass)
{
    const cim::CIMObjectPath control("", Namespaces::Control, ControlHandler::kClassName);
    const auto answer =
        array.send(invoke(control, "SetRestartTime", {param("Milliseconds", CIMValue(std::uint32_t{250}))}));
    ASSERT_EQ(returnValue(answer), 0u);
    EXPECT_EQ(array.settings.restartMilliseconds.load(), 250u);
}

} // namespace
} // namespace Merrow::Sim
