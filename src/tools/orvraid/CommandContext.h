// What a command's handler works with.
#pragma once

#include <iosfwd>

namespace orvraid {

class CommandTable;
class PasswordSource;
class Session;

struct CommandContext {
    Session& session;
    PasswordSource& passwords;
    const CommandTable& table;
    std::ostream& out;
    bool exitRequested = false;
};

}  // namespace orvraid
