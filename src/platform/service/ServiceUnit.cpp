#include "platform/service/ServiceUnit.h"

#include "platform/com/WinErrors.h"

#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include <cerrno>
#include <cstdlib>
#include <fstream>
#include <sstream>

extern char** environ;

namespace orv::platform {
namespace {

constexpr const char* kSystemdDirectory = "/etc/systemd/system";

bool isUnitNameCharacter(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
           c == ':' || c == '-' || c == '_' || c == '.' || c == '@';
}

bool isValidUnitName(const std::string& name)
{
    if (name.empty() || name == "." || name == "..")
        return false;
    for (char c : name) {
        if (!isUnitNameCharacter(c))
            return false;
    }
    return true;
}

bool hasLineBreak(const std::string& text)
{
    return text.find_first_of("\r\n") != std::string::npos;
}

// One ExecStart word: quoted, with the characters systemd would interpret escaped
// (backslash and quote, "%" specifiers, "$" variables).
std::string execWord(const std::string& word)
{
    std::string quoted = "\"";
    for (char c : word) {
        if (c == '\\' || c == '"')
            quoted += '\\';
        else if (c == '%' || c == '$')
            quoted += c;
        quoted += c;
    }
    return quoted + "\"";
}

std::string joined(const std::vector<std::string>& words)
{
    std::string text;
    for (const std::string& word : words)
        text += (text.empty() ? "" : " ") + word;
    return text;
}

HRESULT resultFromErrno(int error)
{
    if (error == ENOENT || error == ENOTDIR)
        return HRESULT_FROM_WIN32(ERROR_PATH_NOT_FOUND);
    if (error == EACCES || error == EPERM || error == EROFS)
        return HRESULT_FROM_WIN32(ERROR_ACCESS_DENIED);
    return E_FAIL;
}

}  // namespace

ServiceUnit::ServiceUnit(std::string serviceName, std::filesystem::path unitDirectory)
    : m_name(std::move(serviceName)),
      m_directory(std::move(unitDirectory)),
      m_systemdManaged(m_directory == kSystemdDirectory &&
                       std::filesystem::exists("/run/systemd/system"))
{
}

std::filesystem::path ServiceUnit::defaultUnitDirectory()
{
    const char* configured = std::getenv("ORVDS_UNIT_DIR");
    if (configured != nullptr && *configured != '\0')
        return configured;
    return kSystemdDirectory;
}

std::filesystem::path ServiceUnit::unitPath() const
{
    return m_directory / (m_name + ".service");
}

bool ServiceUnit::isInstalled() const
{
    std::error_code ignored;
    return isValidUnitName(m_name) && std::filesystem::exists(unitPath(), ignored);
}

std::string ServiceUnit::unitText(const ServiceDefinition& definition)
{
    std::vector<std::string> command{execWord(definition.program.string())};
    for (const std::string& argument : definition.arguments)
        command.push_back(execWord(argument));

    std::ostringstream text;
    text << "[Unit]\n"
         << "Description=" << definition.displayName << "\n";
    if (!definition.dependencies.empty()) {
        text << "After=" << joined(definition.dependencies) << "\n"
             << "Wants=" << joined(definition.dependencies) << "\n";
    }
    text << "\n[Service]\n"
         << "Type=simple\n"
         << "ExecStart=" << joined(command) << "\n"
         << "Restart=no\n";
    if (!definition.runtimeDirectory.empty())
        text << "RuntimeDirectory=" << definition.runtimeDirectory << "\n"
             << "RuntimeDirectoryMode=0700\n";
    if (!definition.stateDirectory.empty())
        text << "StateDirectory=" << definition.stateDirectory << "\n"
             << "StateDirectoryMode=0700\n";
    text << "\n[Install]\n"
         << "WantedBy=multi-user.target\n";
    return text.str();
}

HRESULT ServiceUnit::install(const ServiceDefinition& definition)
{
    if (!isValidUnitName(m_name) || hasLineBreak(definition.displayName) ||
        hasLineBreak(definition.program.string()))
        return E_INVALIDARG;
    for (const std::string& argument : definition.arguments) {
        if (hasLineBreak(argument))
            return E_INVALIDARG;
    }
    for (const std::string& dependency : definition.dependencies) {
        if (!isValidUnitName(dependency))
            return E_INVALIDARG;
    }
    for (const std::string* folder : {&definition.runtimeDirectory, &definition.stateDirectory}) {
        if (!folder->empty() && !isValidUnitName(*folder))
            return E_INVALIDARG;
    }
    if (isInstalled())
        return S_FALSE;

    // Written aside and renamed into place, so systemd never reads half a unit.
    const std::filesystem::path partial = unitPath().string() + ".partial";
    {
        std::ofstream file(partial, std::ios::trunc);
        if (!file)
            return resultFromErrno(errno);
        file << unitText(definition);
        file.close();
        if (!file) {
            std::filesystem::remove(partial);
            return E_FAIL;
        }
    }
    ::chmod(partial.c_str(), 0644);
    if (::rename(partial.c_str(), unitPath().c_str()) != 0) {
        const int error = errno;
        std::filesystem::remove(partial);
        return resultFromErrno(error);
    }
    tellSystemd({"daemon-reload"});
    return S_OK;
}

HRESULT ServiceUnit::uninstall()
{
    if (!isInstalled())
        return S_FALSE;
    // A running service is stopped first; one that is not running is no error.
    tellSystemd({"stop", m_name + ".service"});
    if (::unlink(unitPath().c_str()) != 0)
        return resultFromErrno(errno);
    tellSystemd({"daemon-reload"});
    return S_OK;
}

void ServiceUnit::tellSystemd(std::vector<std::string> arguments) const
{
    if (!m_systemdManaged)
        return;
    arguments.insert(arguments.begin(), "systemctl");
    std::vector<char*> argv;
    for (std::string& argument : arguments)
        argv.push_back(argument.data());
    argv.push_back(nullptr);
    pid_t pid = 0;
    if (::posix_spawnp(&pid, "systemctl", nullptr, nullptr, argv.data(), environ) != 0)
        return;
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
}

}  // namespace orv::platform
