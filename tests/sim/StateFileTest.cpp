#include "sim/StateFile.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include <unistd.h>

namespace Merrow::Sim {
namespace {

class StateFileTest : public testing::Test {
protected:
    void SetUp() override
    {
        m_dir = std::filesystem::temp_directory_path() /
                ("sim-statefile-" + std::to_string(::getpid()) + "-" +
                 testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::remove_all(m_dir);
        std::filesystem::create_directories(m_dir);
    }
    void TearDown() override { std::filesystem::remove_all(m_dir); }

    std::filesystem::path m_dir;
};

TEST_F(StateFileTest, MissingFileLoadsAsNothing)
{
    StateFile file((m_dir / "state.json").string());
    EXPECT_FALSE(file.load().has_value());
}

TEST_F(StateFileTest, SaveReplacesTheWholeFileAndLeavesNoTemporary)
{
    StateFile file((m_dir / "state.json").string());
    file.save(1, "a long first state");
    file.save(2, "short");
    EXPECT_EQ(file.load().value(), "short");
    EXPECT_FALSE(std::filesystem::exists(m_dir / "state.json.tmp"));
}

TEST_F(StateFileTest, AnOlderVersionNeverOverwritesANewerOne)
{
    StateFile file((m_dir / "state.json").string());
    file.save(5, "five");
    file.save(4, "four");
    file.save(5, "five again");
    EXPECT_EQ(file.load().value(), "five");
}

TEST_F(StateFileTest, FailedWriteKeepsThePreviousState)
{
    const auto path = m_dir / "state.json";
    StateFile file(path.string());
    file.save(1, "kept");
    // A directory where the temporary file would go makes the write fail.
    std::filesystem::create_directory(m_dir / "state.json.tmp");
    EXPECT_THROW(file.save(2, "lost"), std::runtime_error);
    EXPECT_EQ(file.load().value(), "kept");
    std::filesystem::remove(m_dir / "state.json.tmp");
    file.save(2, "written after all");
    EXPECT_EQ(file.load().value(), "written after all");
}

} // namespace
} // namespace Merrow::Sim
