#include "InteractiveShell.h"

#include "CommandRunner.h"
#include "HistoryFilter.h"

#include <editline/readline.h>

#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <memory>
#include <optional>

namespace orvraid {
namespace {

struct FreeLine {
    void operator()(char* line) const { std::free(line); }
};

// Keeps the commands of earlier sessions in ~/.orvraid_history, so the arrow keys reach
// them again; nothing is kept when there is no home folder.
class PersistentHistory {
public:
    static constexpr int kMostLines = 500;

    PersistentHistory()
    {
        using_history();
        stifle_history(kMostLines);
        if (const char* home = std::getenv("HOME"); home != nullptr && *home != '\0')
            m_path = std::filesystem::path(home) / ".orvraid_history";
        if (m_path)
            read_history(m_path->c_str());
    }
    ~PersistentHistory()
    {
        if (m_path)
            write_history(m_path->c_str());
    }
    PersistentHistory(const PersistentHistory&) = delete;
    PersistentHistory& operator=(const PersistentHistory&) = delete;

private:
    std::optional<std::filesystem::path> m_path;
};

}  // namespace

ExitCode runInteractive(CommandRunner& interpreter)
{
    PersistentHistory history;
    while (!interpreter.exitRequested()) {
        std::unique_ptr<char, FreeLine> line(readline("ORVRAID> "));
        if (!line) {
            std::cout << '\n';
            break;
        }
        if (belongsInHistory(line.get()))
            add_history(line.get());
        interpreter.execute(line.get());
        std::cout << '\n';
    }
    return ExitCode::Success;
}

}  // namespace orvraid
