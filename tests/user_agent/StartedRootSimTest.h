#pragma once

// The set-up the tests against an embedded simulated array share: a started library root and a
// connection logged in to the array.

#include "user_agent/connection/CorvaneConnection.h"
#include "user_agent/root/MerrowUserAgent.h"

#include "ServiceIndicationCollector.h"
#include "SimArray.h"

#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <string>

namespace Merrow::UserAgent::Testing {

class StartedRootSimTest : public ::testing::Test {
protected:
    // A short dispatcher wait lets indication round trips finish quickly.
    explicit StartedRootSimTest(
        std::chrono::milliseconds dispatcherWait = std::chrono::milliseconds(50))
        : m_dispatcherWait(dispatcherWait) {}

    void SetUp() override {
        MerrowUserAgentPeriods periods;
        periods.dispatcherWait = m_dispatcherWait;
        m_root = std::make_unique<MerrowUserAgent>(false, periods);
        ASSERT_EQ(m_root->Start().getCode(), MerrowReturnValue::UA_S_OK);
    }

    // Logs m_connection in to `array`, which the test keeps alive until it ends.
    void connect(SimArray& array) {
        m_array = &array;
        m_connection = m_root->GetConnection(array.address());
        ASSERT_EQ(m_connection.Connect(kSimUser, kSimPassword).getCode(), MerrowReturnValue::UA_S_OK);
    }

    // Logs in to an array made for this test, which lives as long as the fixture.
    void connectToNewArray(const std::string& address) {
        m_ownedArray = std::make_unique<SimArray>(address);
        connect(*m_ownedArray);
    }

    // An array that answered a restart or shut-down request goes down moments later. This
    // waits for that, powers it on again and logs m_connection back in, as a holder of the
    // connection does once it finds the link lost. Facades made before are removed by then.
    void bringArrayBackAfterPowerCycle() {
        ASSERT_TRUE(eventually([&] { return !m_array->simulator().poweredOn(); }));
        m_array->control().powerOn();
        ASSERT_TRUE(eventually([&] { return m_array->simulator().poweredOn(); }));
        // The first request after the restart finds the old link gone.
        cim::CIMObjectPath top;
        ASSERT_TRUE(eventually([&] {
            return m_connection.Reconnect("").getCode() == MerrowReturnValue::UA_S_OK &&
                   !m_connection.GetTopComputerSystem(top).isFailure();
        }));
    }

    std::unique_ptr<MerrowUserAgent> m_root;
    std::unique_ptr<SimArray> m_ownedArray;
    SimArray* m_array = nullptr;
    CorvaneConnection m_connection;

private:
    std::chrono::milliseconds m_dispatcherWait;
};

} // namespace Merrow::UserAgent::Testing
