#include "vds/framework/CorvaneInfoListWriter.h"

#include "platform/registry/RegistryKey.h"
#include "platform/registry/RegistryTransaction.h"
#include "vds/framework/PasswordProtector.h"

#include <array>
#include <cstdio>

using orv::platform::RegistryKey;
using orv::platform::RegistryTransaction;

int CorvaneInfoListWriter::Save()
{
    RegistryNames names;
    if (const int result = LoadRegistryNames(names); result != kSuccess)
        return result;
    RegistryKey hklm = RegistryKey::root(HKEY_LOCAL_MACHINE);
    if (!hklm.registry())
        return kRegistryOpenFailed;
    RegistryTransaction transaction(hklm.registry());
    if (transaction.status() == ERROR_ACCESS_DENIED)
        return kRegistryWriteFailed;
    if (transaction.status() != ERROR_SUCCESS)
        return kRegistryOpenFailed;
    bool commitPartial = false;
    const int result = SaveLocked(names, commitPartial);
    if (result != kSuccess && !commitPartial)
        return result; // the transaction undoes everything
    if (transaction.commit() != ERROR_SUCCESS)
        return kRegistryWriteFailed;
    return result;
}

int CorvaneInfoListWriter::SaveLocked(const RegistryNames& names, bool& commitPartial)
{
    RegistryKey software;
    // On this platform a fresh registry may lack "Software", which Windows always has.
    if (software.create(RegistryKey::root(HKEY_LOCAL_MACHINE), names.software) != ERROR_SUCCESS)
        return kRegistryOpenFailed;
    RegistryKey product;
    if (product.create(software, names.productName) != ERROR_SUCCESS)
        return kRegistryCreateFailed;
    RegistryKey connections;
    if (!DeleteKeyRecursively(product, names.connections) ||
        connections.create(product, names.connections) != ERROR_SUCCESS)
        return kRegistryCreateFailed;

    std::size_t index = 0;
    for (const CorvaneInfo& entry : m_List) {
        // Protected first: an entry whose password is refused leaves no trace behind.
        std::array<BYTE, PasswordProtector::kBlobSize> blob;
        if (const int result = Protect(entry.password, blob.data(), blob.size());
            result != kSuccess) {
            commitPartial = true;
            return result;
        }
        RegistryKey hostKey;
        if (hostKey.create(connections, entry.host) != ERROR_SUCCESS)
            return kRegistryCreateFailed;
        if (hostKey.setString(names.userName, entry.userName) != ERROR_SUCCESS ||
            hostKey.setBinary(names.password, blob.data(), static_cast<DWORD>(blob.size())) !=
                ERROR_SUCCESS)
            return kRegistryWriteFailed;
        hostKey.close();
        OnEntrySaved(index++);
    }
    return kSuccess;
}

bool CorvaneInfoListWriter::DeleteKeyRecursively(RegistryKey& parent, std::u16string_view name)
{
    LSTATUS status = parent.deleteKey(name);
    if (status == ERROR_SUCCESS)
        return true;
    RegistryKey key;
    status = status == ERROR_FILE_NOT_FOUND ? status : key.open(parent, name, KEY_ALL_ACCESS);
    if (status == ERROR_FILE_NOT_FOUND) {
        std::fputs("Key not found.\n", stdout);
        return true;
    }
    if (status != ERROR_SUCCESS) {
        std::fputs("Error opening key.\n", stdout);
        return false;
    }
    std::u16string child;
    while (key.enumKey(0, child) == ERROR_SUCCESS) {
        if (!DeleteKeyRecursively(key, child))
            return false;
    }
    key.close();
    return parent.deleteKey(name) == ERROR_SUCCESS;
}
