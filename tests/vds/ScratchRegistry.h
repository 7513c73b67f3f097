// A registry file of its own for one test, in a fresh directory, installed as the process
// registry while the test runs (the password protection key lives beside it).
#pragma once

#include "platform/registry/Registry.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <stdexcept>
#include <string>
#include <system_error>

// A directory under which the scratch registries of child processes are made, so that the
// parent can remove what children that end with _exit leave behind. The first ScratchRoot
// of a process tree makes it (and removes it again); one made in a child process, which
// inherits ORVDS_TEST_SCRATCH_ROOT, uses the parent's.
class ScratchRoot {
public:
    static constexpr const char* kVariable = "ORVDS_TEST_SCRATCH_ROOT";

    ScratchRoot()
    {
        if (std::getenv(kVariable) != nullptr)
            return;
        std::string pattern =
            (std::filesystem::temp_directory_path() / "orvds-vds-root-XXXXXX").string();
        if (::mkdtemp(pattern.data()) == nullptr)
            throw std::runtime_error("cannot create a temporary directory");
        m_owned = pattern;
        ::setenv(kVariable, pattern.c_str(), 1);
    }
    ~ScratchRoot()
    {
        if (m_owned.empty())
            return;
        ::unsetenv(kVariable);
        std::error_code ignored;
        std::filesystem::remove_all(m_owned, ignored);
    }
    ScratchRoot(const ScratchRoot&) = delete;
    ScratchRoot& operator=(const ScratchRoot&) = delete;

private:
    std::filesystem::path m_owned;
};

class ScratchRegistry {
public:
    ScratchRegistry()
    {
        const char* root = std::getenv(ScratchRoot::kVariable);
        const std::filesystem::path base =
            root != nullptr ? std::filesystem::path(root) : std::filesystem::temp_directory_path();
        std::string pattern = (base / "orvds-vds-test-XXXXXX").string();
        if (::mkdtemp(pattern.data()) == nullptr)
            throw std::runtime_error("cannot create a temporary directory");
        m_directory = pattern;
        EXPECT_EQ(orv::platform::Registry::open(registryPath(), m_registry), ERROR_SUCCESS);
        orv::platform::Registry::setProcessRegistry(m_registry);
    }
    ~ScratchRegistry()
    {
        orv::platform::Registry::setProcessRegistry(nullptr);
        m_registry.reset();
        std::error_code ignored;
        std::filesystem::remove_all(m_directory, ignored);
    }
    ScratchRegistry(const ScratchRegistry&) = delete;
    ScratchRegistry& operator=(const ScratchRegistry&) = delete;

    const std::filesystem::path& directory() const { return m_directory; }
    std::filesystem::path registryPath() const { return m_directory / "registry.db"; }
    const std::shared_ptr<orv::platform::Registry>& registry() const { return m_registry; }

    // After fork(): the child must use a store connection of its own.
    void reopenInChild()
    {
        std::shared_ptr<orv::platform::Registry> own;
        orv::platform::Registry::open(registryPath(), own);
        orv::platform::Registry::setProcessRegistry(own);
    }

private:
    std::filesystem::path m_directory;
    std::shared_ptr<orv::platform::Registry> m_registry;
};
