// The program's own string table (the resources linked into the program itself, as
// opposed to the separate resource library): names, formats, messages and status texts
// by id.
#pragma once

#include "platform/com/WinTypes.h"

#include <optional>
#include <string>

namespace orv::platform {

class StringTable {
public:
    // Ids the program loads.
    static constexpr UINT IDS_SERVICENAME = 201;
    static constexpr UINT IDS_PROVIDER_NAME_FORMAT = 203;
    static constexpr UINT IDS_CONTROLLER_NAME_FORMAT = 209;
    static constexpr UINT IDS_PROVIDER_VERSION = 226;
    static constexpr UINT IDS_NO_ADVISE_SINK = 227;
    static constexpr UINT IDS_VOLUME_NAME_FORMAT = 239;
    static constexpr UINT IDS_CONNECTIONS = 2002;
    static constexpr UINT IDS_SOFTWARE = 2003;
    static constexpr UINT IDS_HOST = 2004;
    static constexpr UINT IDS_STATUS = 2005;
    static constexpr UINT IDS_USERNAME = 2006;
    static constexpr UINT IDS_PASSWORD = 2007;
    // Result messages of the managed-array list: 2008 + code for codes 0 to 7, 2016 for
    // an unknown code, 2017 and 2018 for codes 8 and 9.
    static constexpr UINT IDS_RESULT_FIRST = 2008;
    static constexpr UINT IDS_RESULT_INVALID = 2016;
    static constexpr UINT IDS_RESULT_TEXT_TOO_LONG = 2017;
    static constexpr UINT IDS_RESULT_BUFFER_TOO_SHORT = 2018;
    // Connection status texts: 2110 + 10 * status for the statuses 0 to 4.
    static constexpr UINT IDS_STATUS_FIRST = 2110;

    // The text of `id`, or null when the table has no such string.
    static const char16_t* find(UINT id);

    // LoadString on the program's table: 0 when the string is missing.
    static int loadString(UINT id, WCHAR* buffer, int capacity);
    static std::optional<std::u16string> loadString(UINT id);
};

}  // namespace orv::platform
