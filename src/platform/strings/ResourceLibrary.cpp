#include "platform/strings/ResourceLibrary.h"

#include "platform/com/WinErrors.h"
#include "platform/strings/ResourceString.h"

#include <dlfcn.h>

#include <cstdlib>

namespace orv::platform {
namespace {

std::filesystem::path besideTheProgram()
{
    std::error_code error;
    const std::filesystem::path program = std::filesystem::read_symlink("/proc/self/exe", error);
    if (error)
        return {};
    for (const std::filesystem::path& candidate :
         {program.parent_path().parent_path() / "lib" / ResourceLibrary::kFileName,
          program.parent_path() / ResourceLibrary::kFileName}) {
        if (std::filesystem::exists(candidate, error))
            return candidate;
    }
    return {};
}

}  // namespace

ResourceLibrary::~ResourceLibrary()
{
    unload();
}

std::filesystem::path ResourceLibrary::defaultPath()
{
    const char* configured = std::getenv("ORVDS_RESOURCES");
    if (configured != nullptr && *configured != '\0')
        return configured;
    std::filesystem::path found = besideTheProgram();
    return found.empty() ? std::filesystem::path(kFileName) : found;
}

HRESULT ResourceLibrary::load()
{
    return load(defaultPath());
}

HRESULT ResourceLibrary::load(const std::filesystem::path& path)
{
    std::lock_guard lock(m_mutex);
    unloadLocked();
    void* handle = ::dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (handle == nullptr) {
        const char* why = ::dlerror();
        m_lastError = why != nullptr ? why : "cannot load " + path.string();
        return HRESULT_FROM_WIN32(ERROR_MOD_NOT_FOUND);
    }
    void* symbol = ::dlsym(handle, ORV_RESOURCES_STRING_FUNCTION);
    if (symbol == nullptr) {
        m_lastError = path.string() + " has no " ORV_RESOURCES_STRING_FUNCTION;
        ::dlclose(handle);
        return HRESULT_FROM_WIN32(ERROR_PROC_NOT_FOUND);
    }
    m_handle = handle;
    m_loadString = reinterpret_cast<OrvResourcesLoadStringFunction>(symbol);
    m_lastError.clear();
    return S_OK;
}

void ResourceLibrary::unload()
{
    std::lock_guard lock(m_mutex);
    unloadLocked();
}

void ResourceLibrary::unloadLocked()
{
    if (m_handle != nullptr)
        ::dlclose(m_handle);
    m_handle = nullptr;
    m_loadString = nullptr;
}

bool ResourceLibrary::isLoaded() const
{
    std::lock_guard lock(m_mutex);
    return m_handle != nullptr;
}

std::string ResourceLibrary::lastError() const
{
    std::lock_guard lock(m_mutex);
    return m_lastError;
}

int ResourceLibrary::loadString(UINT id, WCHAR* buffer, int capacity) const
{
    std::lock_guard lock(m_mutex);
    const char16_t* text = m_loadString != nullptr ? m_loadString(id) : nullptr;
    return text == nullptr ? 0 : copyResourceString(text, buffer, capacity);
}

std::optional<std::u16string> ResourceLibrary::loadString(UINT id) const
{
    std::lock_guard lock(m_mutex);
    const char16_t* text = m_loadString != nullptr ? m_loadString(id) : nullptr;
    if (text == nullptr)
        return std::nullopt;
    return std::u16string(text);
}

}  // namespace orv::platform
