// A registry of the benchmark's own in a temporary folder, made the process registry for
// as long as it lives, so that a loaded provider reads the managed arrays a benchmark
// wrote and nothing else.
#pragma once

#include "platform/registry/Registry.h"

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

#include <unistd.h>

class BenchScratchRegistry {
public:
    BenchScratchRegistry()
    {
        std::string pattern = (std::filesystem::temp_directory_path() / "orvds-bench-XXXXXX").string();
        if (::mkdtemp(pattern.data()) == nullptr)
            std::exit(1);
        m_dir = pattern;
        orv::platform::Registry::open(m_dir / "registry.db", m_registry);
        orv::platform::Registry::setProcessRegistry(m_registry);
    }
    ~BenchScratchRegistry()
    {
        orv::platform::Registry::setProcessRegistry(nullptr);
        m_registry.reset();
        std::filesystem::remove_all(m_dir);
    }
    BenchScratchRegistry(const BenchScratchRegistry&) = delete;
    BenchScratchRegistry& operator=(const BenchScratchRegistry&) = delete;

private:
    std::filesystem::path m_dir;
    std::shared_ptr<orv::platform::Registry> m_registry;
};
