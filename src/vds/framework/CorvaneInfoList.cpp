#include "vds/framework/CorvaneInfoList.h"

#include "platform/registry/RegistryKey.h"
#include "platform/strings/ResourceString.h"
#include "platform/strings/StringTable.h"
#include "vds/framework/PasswordProtector.h"
#include "vds/framework/RegistryText.h"
#include "vds/framework/VdsResources.h"

#include <algorithm>
#include <array>
#include <optional>

using orv::platform::RegistryKey;
using orv::platform::StringTable;

namespace {

constexpr UINT kProductNameId = 109;
constexpr std::size_t kPasswordBufferBytes = 512;

UINT messageIdFor(int code)
{
    switch (code) {
    case CorvaneInfoList::kTextTooLong:
        return StringTable::IDS_RESULT_TEXT_TOO_LONG;
    case CorvaneInfoList::kBufferTooShort:
        return StringTable::IDS_RESULT_BUFFER_TOO_SHORT;
    default:
        if (code >= CorvaneInfoList::kSuccess && code <= CorvaneInfoList::kStringLoadFailed)
            return StringTable::IDS_RESULT_FIRST + static_cast<UINT>(code);
        return StringTable::IDS_RESULT_INVALID;
    }
}

} // namespace

int CorvaneInfoList::LoadRegistryNames(RegistryNames& names)
{
    const auto userName = VdsResources::programString(StringTable::IDS_USERNAME);
    const auto password = VdsResources::programString(StringTable::IDS_PASSWORD);
    const auto software = VdsResources::programString(StringTable::IDS_SOFTWARE);
    if (!userName || !password || !software)
        return kStringLoadFailed;
    const auto productName = VdsResources::libraryString(kProductNameId);
    if (!productName)
        return kStringLoadFailed;
    const auto connections = VdsResources::programString(StringTable::IDS_CONNECTIONS);
    if (!connections)
        return kStringLoadFailed;
    names = {*userName, *password, *software, *productName, *connections, {}};
    names.path = orv::platform::formatResourceString(
        u"%s\\%s\\%s", {names.software, names.productName, names.connections});
    if (names.path.size() > kMaxPathLength)
        return kInvalidParameter;
    return kSuccess;
}

int CorvaneInfoList::ReadEntry(const RegistryKey& connections, const std::u16string& host,
                               const RegistryNames& names, CorvaneInfo& entry)
{
    RegistryKey hostKey;
    if (hostKey.open(connections, host, KEY_QUERY_VALUE) != ERROR_SUCCESS)
        return CorvaneInfoList::kRegistryOpenFailed;

    std::array<BYTE, CorvaneInfoList::kUserNameBytes> userName{};
    DWORD type = REG_NONE;
    DWORD size = static_cast<DWORD>(userName.size());
    if (hostKey.queryValue(names.userName, &type, userName.data(), &size) != ERROR_SUCCESS ||
        type != REG_SZ)
        return CorvaneInfoList::kRegistryReadFailed;

    std::array<BYTE, PasswordProtector::kBlobSize> blob{};
    DWORD blobSize = static_cast<DWORD>(blob.size());
    if (hostKey.queryValue(names.password, &type, blob.data(), &blobSize) != ERROR_SUCCESS ||
        type != REG_BINARY)
        return CorvaneInfoList::kRegistryReadFailed;
    std::array<WCHAR, kPasswordBufferBytes / 2> password{};
    const int unprotected =
        CorvaneInfoList::Unprotect(blob.data(), blobSize, password.data(), kPasswordBufferBytes);
    if (unprotected != CorvaneInfoList::kSuccess)
        return unprotected;

    entry = {host, RegistryStringText(userName.data(), size), password.data(), 0};
    return CorvaneInfoList::kSuccess;
}

int CorvaneInfoList::Load()
{
    RegistryNames names;
    if (const int result = LoadRegistryNames(names); result != kSuccess)
        return result;
    RegistryKey connections;
    if (connections.open(RegistryKey::root(HKEY_LOCAL_MACHINE), names.path,
                         KEY_QUERY_VALUE | KEY_ENUMERATE_SUB_KEYS) != ERROR_SUCCESS)
        return kRegistryOpenFailed;

    CorvaneInfoList notYetSeen = *this;
    std::u16string host;
    for (DWORD index = 0; connections.enumKey(index, host) == ERROR_SUCCESS; ++index) {
        if (notYetSeen.Remove(host))
            continue;
        CorvaneInfo entry;
        if (const int result = ReadEntry(connections, host, names, entry); result != kSuccess)
            return result;
        m_List.push_back(std::move(entry));
    }
    for (const CorvaneInfo& gone : notYetSeen.m_List)
        Remove(gone.host);
    return kSuccess;
}

std::list<CorvaneInfo>::iterator CorvaneInfoList::findHost(std::u16string_view host)
{
    return std::find_if(m_List.begin(), m_List.end(),
                        [host](const CorvaneInfo& info) { return info.host == host; });
}

std::list<CorvaneInfo>::const_iterator CorvaneInfoList::findHost(std::u16string_view host) const
{
    return std::find_if(m_List.begin(), m_List.end(),
                        [host](const CorvaneInfo& info) { return info.host == host; });
}

bool CorvaneInfoList::Find(std::u16string_view host, CorvaneInfo& out) const
{
    auto it = findHost(host);
    if (it == m_List.end())
        return false;
    out = *it;
    return true;
}

bool CorvaneInfoList::GetAt(long index, CorvaneInfo& out) const
{
    if (index < 0 || static_cast<std::size_t>(index) >= m_List.size())
        return false;
    out = *std::next(m_List.begin(), index);
    return true;
}

int CorvaneInfoList::AddOrUpdate(const CorvaneInfo& info)
{
    auto it = findHost(info.host);
    if (it == m_List.end()) {
        m_List.push_back(info);
        return 0;
    }
    it->userName = info.userName;
    it->password = info.password;
    it->status = info.status;
    return 1;
}

void CorvaneInfoList::Add(const CorvaneInfo& info) { m_List.push_back(info); }

bool CorvaneInfoList::Remove(std::u16string_view host)
{
    auto it = findHost(host);
    if (it == m_List.end())
        return false;
    m_List.erase(it);
    return true;
}

void CorvaneInfoList::GetResultMessage(int code, WCHAR* buffer, int capacity)
{
    if (buffer == nullptr)
        return;
    StringTable::loadString(messageIdFor(code), buffer, capacity);
}

std::u16string CorvaneInfoList::ResultMessage(int code)
{
    return StringTable::loadString(messageIdFor(code)).value_or(u"");
}

int CorvaneInfoList::Protect(std::u16string_view password, BYTE* buffer, std::size_t size)
{
    return PasswordProtector::Protect(password, buffer, size);
}

int CorvaneInfoList::Unprotect(const BYTE* blob, std::size_t size, WCHAR* buffer,
                               std::size_t capacity)
{
    return PasswordProtector::Unprotect(blob, size, buffer, capacity);
}
