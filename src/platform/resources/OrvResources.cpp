#include "platform/resources/OrvResources.h"

namespace {

struct ResourceString {
    unsigned int id;
    const char16_t* text;
};

// 105: the product in controller names; 106: the product in the provider name and the
// SCSI product id of LUNs (at most 16 characters); 107: the product in the provider name
// and in the trace-settings key; 108: the SCSI vendor id of LUNs (at most 8 characters);
// 109: the product in the managed-array key.
constexpr ResourceString kStrings[] = {
    {105, u"Corvane iSCSI Array"},
    {106, u"Corvane Array"},
    {107, u"OrvVds"},
    {108, u"Corvane"},
    {109, u"OrvVds"},
};

}  // namespace

const char16_t* OrvResources_LoadString(unsigned int id)
{
    for (const ResourceString& entry : kStrings) {
        if (entry.id == id)
            return entry.text;
    }
    return nullptr;
}
