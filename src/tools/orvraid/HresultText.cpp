#include "HresultText.h"

#include "platform/vds/VdsErrors.h"

#include <cstdio>
#include <utility>

namespace orvraid {
namespace {

constexpr std::pair<HRESULT, const char*> kHresultWords[] = {
    {E_FAIL, "the provider reported a failure"},
    {E_UNEXPECTED, "the provider met an unexpected condition"},
    {E_INVALIDARG, "an argument was not valid"},
    {E_POINTER, "a required argument was missing"},
    {E_OUTOFMEMORY, "out of memory"},
    {E_NOTIMPL, "the provider does not implement this"},
    {E_NOINTERFACE, "the object does not offer this operation"},
    {E_ACCESSDENIED, "access denied"},
    {REGDB_E_CLASSNOTREG, "the provider class is not available in this program"},
    {RPC_E_TOO_LATE, "too late"},
    {VDS_E_NOT_SUPPORTED, "the operation is not supported"},
    {VDS_E_ANOTHER_CALL_IN_PROGRESS, "another call is in progress"},
    {VDS_E_OBJECT_NOT_FOUND, "the object was not found"},
    {VDS_E_OBJECT_DELETED, "the object was deleted"},
    {VDS_E_OPERATION_CANCELED, "the operation was canceled"},
    {VDS_E_NOT_ENOUGH_SPACE, "there is not enough space"},
    {VDS_E_NOT_ENOUGH_DRIVE, "there are not enough drives"},
    {VDS_E_UNRECOVERABLE_ERROR, "an unrecoverable error occurred"},
    {VDS_E_OBJECT_EXISTS, "the object exists already"},
    {VDS_E_PROVIDER_CACHE_CORRUPT, "the provider's cache is corrupt"},
    {VDS_E_OBJECT_STATUS_FAILED, "the object has failed"},
    {VDS_E_PROVIDER_FAILURE, "the provider failed"},
};

}  // namespace

std::string describeHresult(HRESULT hr)
{
    char code[16];
    std::snprintf(code, sizeof code, "0x%08X", static_cast<unsigned>(hr));
    for (const auto& [value, words] : kHresultWords) {
        if (value == hr)
            return std::string(words) + " (" + code + ")";
    }
    return std::string("error ") + code;
}

}  // namespace orvraid
