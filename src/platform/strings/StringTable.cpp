#include "platform/strings/StringTable.h"

#include "platform/strings/ResourceString.h"

namespace orv::platform {
namespace {

struct Entry {
    UINT id;
    const char16_t* text;
};

constexpr Entry kStrings[] = {
    {StringTable::IDS_SERVICENAME, u"OrvVds"},
    {StringTable::IDS_PROVIDER_NAME_FORMAT, u"%s VDS Provider for the %s"},
    {StringTable::IDS_CONTROLLER_NAME_FORMAT, u"%s controller"},
    {StringTable::IDS_PROVIDER_VERSION, u"2.8.2.2"},
    {StringTable::IDS_NO_ADVISE_SINK, u"Unable to get IVdsAdviseSink interface (0x%0x)"},
    {StringTable::IDS_VOLUME_NAME_FORMAT, u"%S created %s by %S"},
    {StringTable::IDS_CONNECTIONS, u"connections"},
    {StringTable::IDS_SOFTWARE, u"Software"},
    {StringTable::IDS_HOST, u"Host"},
    {StringTable::IDS_STATUS, u"Status"},
    {StringTable::IDS_USERNAME, u"UserName"},
    {StringTable::IDS_PASSWORD, u"Password"},
    {2008, u"Save/Restore Completed Successfully"},
    {2009, u"Save/Restore End of List"},
    {2010, u"Invalid Parameter"},
    {2011, u"Registry Create Failed"},
    {2012, u"Registry Open Failed"},
    {2013, u"Registry Read Failed"},
    {2014, u"Registry Write Failed"},
    {2015, u"String Resource Load Failed"},
    {2016, u"Return Value Not Valid"},
    {2017, u"Text is too long to be encrypted"},
    {2018, u"Buffer is too short to receive decrypted data"},
    {2110, u"Connecting..."},
    {2120, u"Not Reachable"},
    {2130, u"Authorization Failed"},
    {2140, u"Connected"},
    {2150, u"Lost Connection"},
};

}  // namespace

const char16_t* StringTable::find(UINT id)
{
    for (const Entry& entry : kStrings) {
        if (entry.id == id)
            return entry.text;
    }
    return nullptr;
}

int StringTable::loadString(UINT id, WCHAR* buffer, int capacity)
{
    const char16_t* text = find(id);
    return text == nullptr ? 0 : copyResourceString(text, buffer, capacity);
}

std::optional<std::u16string> StringTable::loadString(UINT id)
{
    const char16_t* text = find(id);
    if (text == nullptr)
        return std::nullopt;
    return std::u16string(text);
}

}  // namespace orv::platform
