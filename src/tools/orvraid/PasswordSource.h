// Where "add array" finds a password that its command line leaves out: the variable
// ORVRAID_PASSWORD, else a prompt on the terminal that does not echo what is typed.
#pragma once

#include <optional>
#include <string>

namespace orvraid {

class PasswordSource {
public:
    static constexpr const char* kVariable = "ORVRAID_PASSWORD";

    virtual ~PasswordSource() = default;

    // nullopt when there is neither the variable nor a terminal to ask on.
    virtual std::optional<std::string> read(const std::string& prompt);

protected:
    virtual std::optional<std::string> promptWithoutEcho(const std::string& prompt);
};

}  // namespace orvraid
