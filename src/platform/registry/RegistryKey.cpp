#include "platform/registry/RegistryKey.h"

#include "platform/com/TextConversion.h"

#include <cstring>
#include <utility>

namespace orv::platform {
namespace {

constexpr REGSAM kDeleteTreeAccess = DELETE | KEY_ENUMERATE_SUB_KEYS | KEY_QUERY_VALUE;

// Splits "a\b\c" into its names. An empty name anywhere (leading, doubled or trailing
// "\") is a bad path; a name longer than the registry allows is a bad parameter.
LSTATUS splitPath(std::u16string_view path, std::vector<std::string>& names)
{
    names.clear();
    if (path.empty())
        return ERROR_SUCCESS;
    std::size_t start = 0;
    while (true) {
        const std::size_t end = path.find(u'\\', start);
        const std::u16string_view name = path.substr(start, end - start);
        if (name.empty())
            return ERROR_BAD_PATHNAME;
        if (name.size() > RegistryKey::kMaxKeyNameLength)
            return ERROR_INVALID_PARAMETER;
        names.push_back(Utf16ToUtf8(name));
        if (end == std::u16string_view::npos)
            return ERROR_SUCCESS;
        start = end + 1;
    }
}

LSTATUS valueName(std::u16string_view name, std::string& utf8)
{
    if (name.size() > RegistryKey::kMaxValueNameLength)
        return ERROR_INVALID_PARAMETER;
    utf8 = Utf16ToUtf8(name);
    return ERROR_SUCCESS;
}

bool isSupportedType(DWORD type)
{
    return type == REG_SZ || type == REG_EXPAND_SZ || type == REG_BINARY || type == REG_DWORD;
}

std::u16string textOf(const std::vector<BYTE>& data)
{
    std::u16string text(data.size() / sizeof(char16_t), u'\0');
    std::memcpy(text.data(), data.data(), text.size() * sizeof(char16_t));
    while (!text.empty() && text.back() == u'\0')
        text.pop_back();
    return text;
}

// Copies a stored name into a caller's buffer the way RegEnumKeyEx does.
LSTATUS copyName(const std::string& utf8, WCHAR* name, DWORD* cchName)
{
    if (name == nullptr || cchName == nullptr)
        return ERROR_INVALID_PARAMETER;
    const std::u16string wide = Utf8ToUtf16(utf8);
    if (wide.size() + 1 > *cchName) {
        *cchName = static_cast<DWORD>(wide.size());
        return ERROR_MORE_DATA;
    }
    std::char_traits<char16_t>::copy(name, wide.c_str(), wide.size() + 1);
    *cchName = static_cast<DWORD>(wide.size());
    return ERROR_SUCCESS;
}

// Copies value data the way RegQueryValueEx does: a null buffer asks for the size only.
LSTATUS copyData(const std::vector<BYTE>& bytes, BYTE* data, DWORD* cbData)
{
    if (cbData == nullptr)
        return ERROR_SUCCESS;
    const auto size = static_cast<DWORD>(bytes.size());
    if (data != nullptr && *cbData < size) {
        *cbData = size;
        return ERROR_MORE_DATA;
    }
    if (data != nullptr && size != 0)
        std::memcpy(data, bytes.data(), size);
    *cbData = size;
    return ERROR_SUCCESS;
}

}  // namespace

RegistryKey::RegistryKey(std::shared_ptr<Registry> registry, Registry::KeyId key, REGSAM access)
    : m_registry(std::move(registry)), m_key(key), m_access(access)
{
}

RegistryKey::RegistryKey(RegistryKey&& other) noexcept
    : m_registry(std::move(other.m_registry)),
      m_key(std::exchange(other.m_key, 0)),
      m_access(std::exchange(other.m_access, 0)),
      m_storeMissing(std::exchange(other.m_storeMissing, false))
{
}

RegistryKey& RegistryKey::operator=(RegistryKey&& other) noexcept
{
    if (this != &other) {
        m_registry = std::move(other.m_registry);
        m_key = std::exchange(other.m_key, 0);
        m_access = std::exchange(other.m_access, 0);
        m_storeMissing = std::exchange(other.m_storeMissing, false);
    }
    return *this;
}

RegistryKey RegistryKey::root(RegistryRoot root)
{
    return RegistryKey::root(root, Registry::processRegistry());
}

RegistryKey RegistryKey::root(RegistryRoot root, std::shared_ptr<Registry> registry)
{
    const bool missing = registry == nullptr;
    RegistryKey key(std::move(registry), Registry::rootId(root), KEY_ALL_ACCESS);
    key.m_storeMissing = missing;
    return key;
}

void RegistryKey::close()
{
    m_registry.reset();
    m_key = 0;
    m_access = 0;
    m_storeMissing = false;
}

LSTATUS RegistryKey::usable(REGSAM needed) const
{
    if (m_storeMissing)
        return ERROR_CANTOPEN;
    if (m_key == 0 || m_registry == nullptr)
        return ERROR_INVALID_HANDLE;
    if ((m_access & needed) != needed)
        return ERROR_ACCESS_DENIED;
    return m_registry->checkKey(m_key);
}

LSTATUS RegistryKey::resolve(std::u16string_view subKey, Registry::KeyId& key) const
{
    std::vector<std::string> names;
    LSTATUS status = splitPath(subKey, names);
    key = m_key;
    for (const std::string& name : names) {
        if (status != ERROR_SUCCESS)
            break;
        status = m_registry->findChild(key, name, key);
    }
    return status;
}

// ---- opening ---------------------------------------------------------------------------

LSTATUS RegistryKey::create(const RegistryKey& parent, std::u16string_view subKey, REGSAM access,
                            DWORD* disposition)
{
    std::vector<std::string> names;
    LSTATUS status = splitPath(subKey, names);
    if (status == ERROR_SUCCESS)
        status = parent.usable(names.empty() ? 0 : KEY_CREATE_SUB_KEY);
    if (status != ERROR_SUCCESS)
        return status;

    Registry::KeyId key = parent.m_key;
    bool created = false;
    status = parent.m_registry->atomically([&] {
        LSTATUS step = ERROR_SUCCESS;
        for (std::size_t i = 0; i < names.size() && step == ERROR_SUCCESS; ++i)
            step = parent.m_registry->createChild(key, names[i], key, created);
        return step;
    });
    if (status != ERROR_SUCCESS)
        return status;
    if (disposition != nullptr)
        *disposition = created ? REG_CREATED_NEW_KEY : REG_OPENED_EXISTING_KEY;
    *this = RegistryKey(parent.m_registry, key, access);
    return ERROR_SUCCESS;
}

LSTATUS RegistryKey::open(const RegistryKey& parent, std::u16string_view subKey, REGSAM access)
{
    LSTATUS status = parent.usable(0);
    Registry::KeyId key = 0;
    if (status == ERROR_SUCCESS)
        status = parent.resolve(subKey, key);
    if (status != ERROR_SUCCESS)
        return status;
    *this = RegistryKey(parent.m_registry, key, access);
    return ERROR_SUCCESS;
}

// ---- values ----------------------------------------------------------------------------

LSTATUS RegistryKey::read(std::u16string_view name, DWORD& type, std::vector<BYTE>& bytes) const
{
    std::string utf8;
    LSTATUS status = valueName(name, utf8);
    if (status == ERROR_SUCCESS)
        status = usable(KEY_QUERY_VALUE);
    if (status == ERROR_SUCCESS)
        status = m_registry->readValue(m_key, utf8, type, bytes);
    return status;
}

LSTATUS RegistryKey::queryValue(std::u16string_view name, DWORD* type, BYTE* data,
                                DWORD* cbData) const
{
    if (data != nullptr && cbData == nullptr)
        return ERROR_INVALID_PARAMETER;
    DWORD storedType = REG_NONE;
    std::vector<BYTE> bytes;
    LSTATUS status = read(name, storedType, bytes);
    if (status != ERROR_SUCCESS)
        return status;
    if (type != nullptr)
        *type = storedType;
    return copyData(bytes, data, cbData);
}

LSTATUS RegistryKey::queryString(std::u16string_view name, std::u16string& text) const
{
    DWORD type = REG_NONE;
    std::vector<BYTE> bytes;
    LSTATUS status = read(name, type, bytes);
    if (status != ERROR_SUCCESS)
        return status;
    if (type != REG_SZ && type != REG_EXPAND_SZ)
        return ERROR_UNSUPPORTED_TYPE;
    text = textOf(bytes);
    return ERROR_SUCCESS;
}

LSTATUS RegistryKey::queryDword(std::u16string_view name, DWORD& value) const
{
    DWORD type = REG_NONE;
    std::vector<BYTE> bytes;
    LSTATUS status = read(name, type, bytes);
    if (status != ERROR_SUCCESS)
        return status;
    if (type != REG_DWORD || bytes.size() != sizeof(DWORD))
        return ERROR_UNSUPPORTED_TYPE;
    std::memcpy(&value, bytes.data(), sizeof(DWORD));
    return ERROR_SUCCESS;
}

LSTATUS RegistryKey::queryBinary(std::u16string_view name, std::vector<BYTE>& data) const
{
    DWORD type = REG_NONE;
    std::vector<BYTE> bytes;
    LSTATUS status = read(name, type, bytes);
    if (status != ERROR_SUCCESS)
        return status;
    if (type != REG_BINARY)
        return ERROR_UNSUPPORTED_TYPE;
    data = std::move(bytes);
    return ERROR_SUCCESS;
}

LSTATUS RegistryKey::setValue(std::u16string_view name, DWORD type, const BYTE* data, DWORD cbData)
{
    if (!isSupportedType(type) || (data == nullptr && cbData != 0))
        return ERROR_INVALID_PARAMETER;
    if (type == REG_DWORD && cbData != sizeof(DWORD))
        return ERROR_INVALID_PARAMETER;
    std::string utf8;
    LSTATUS status = valueName(name, utf8);
    if (status == ERROR_SUCCESS)
        status = usable(0);
    if (status != ERROR_SUCCESS)
        return status;
    // The key check and the write form one step, so a key deleted by another process in
    // between cannot be left with an orphaned value.
    return m_registry->atomically([&] {
        LSTATUS step = usable(KEY_SET_VALUE);
        if (step != ERROR_SUCCESS)
            return step;
        return m_registry->writeValue(m_key, utf8, type, data, cbData);
    });
}

LSTATUS RegistryKey::setString(std::u16string_view name, std::u16string_view text, DWORD type)
{
    if (type != REG_SZ && type != REG_EXPAND_SZ)
        return ERROR_INVALID_PARAMETER;
    std::u16string terminated(text);
    terminated.push_back(u'\0');
    return setValue(name, type, reinterpret_cast<const BYTE*>(terminated.data()),
                    static_cast<DWORD>(terminated.size() * sizeof(char16_t)));
}

LSTATUS RegistryKey::setDword(std::u16string_view name, DWORD value)
{
    return setValue(name, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof(value));
}

LSTATUS RegistryKey::setBinary(std::u16string_view name, const BYTE* data, DWORD cbData)
{
    return setValue(name, REG_BINARY, data, cbData);
}

LSTATUS RegistryKey::deleteValue(std::u16string_view name)
{
    std::string utf8;
    LSTATUS status = valueName(name, utf8);
    if (status == ERROR_SUCCESS)
        status = usable(KEY_SET_VALUE);
    if (status != ERROR_SUCCESS)
        return status;
    return m_registry->deleteValue(m_key, utf8);
}

// ---- enumeration -----------------------------------------------------------------------

LSTATUS RegistryKey::enumKey(DWORD index, std::u16string& name) const
{
    LSTATUS status = usable(KEY_ENUMERATE_SUB_KEYS);
    std::string utf8;
    if (status == ERROR_SUCCESS)
        status = m_registry->childAt(m_key, index, utf8);
    if (status == ERROR_SUCCESS)
        name = Utf8ToUtf16(utf8);
    return status;
}

LSTATUS RegistryKey::enumKey(DWORD index, WCHAR* name, DWORD* cchName) const
{
    std::u16string found;
    LSTATUS status = enumKey(index, found);
    if (status != ERROR_SUCCESS)
        return status;
    return copyName(Utf16ToUtf8(found), name, cchName);
}

LSTATUS RegistryKey::enumValue(DWORD index, std::u16string& name, DWORD& type,
                               std::vector<BYTE>& data) const
{
    LSTATUS status = usable(KEY_QUERY_VALUE);
    std::string utf8;
    if (status == ERROR_SUCCESS)
        status = m_registry->valueAt(m_key, index, utf8, type, data);
    if (status == ERROR_SUCCESS)
        name = Utf8ToUtf16(utf8);
    return status;
}

LSTATUS RegistryKey::enumValue(DWORD index, WCHAR* name, DWORD* cchName, DWORD* type, BYTE* data,
                               DWORD* cbData) const
{
    if (data != nullptr && cbData == nullptr)
        return ERROR_INVALID_PARAMETER;
    std::u16string foundName;
    DWORD foundType = REG_NONE;
    std::vector<BYTE> bytes;
    LSTATUS status = enumValue(index, foundName, foundType, bytes);
    if (status == ERROR_SUCCESS)
        status = copyName(Utf16ToUtf8(foundName), name, cchName);
    if (status != ERROR_SUCCESS)
        return status;
    if (type != nullptr)
        *type = foundType;
    return copyData(bytes, data, cbData);
}

// ---- deletion --------------------------------------------------------------------------

LSTATUS RegistryKey::deleteKey(std::u16string_view subKey)
{
    if (subKey.empty())
        return ERROR_INVALID_PARAMETER;
    LSTATUS status = usable(0);
    if (status != ERROR_SUCCESS)
        return status;
    return m_registry->atomically([&] {
        Registry::KeyId key = 0;
        LSTATUS step = resolve(subKey, key);
        bool children = false;
        if (step == ERROR_SUCCESS)
            step = m_registry->hasChildren(key, children);
        if (step != ERROR_SUCCESS)
            return step;
        if (children)
            return ERROR_ACCESS_DENIED;
        return m_registry->deleteBelow(key, true);
    });
}

LSTATUS RegistryKey::deleteTree(std::u16string_view subKey)
{
    LSTATUS status = usable(kDeleteTreeAccess);
    if (status != ERROR_SUCCESS)
        return status;
    return m_registry->atomically([&] {
        Registry::KeyId key = 0;
        LSTATUS step = resolve(subKey, key);
        if (step != ERROR_SUCCESS)
            return step;
        return m_registry->deleteBelow(key, !subKey.empty());
    });
}

}  // namespace orv::platform
