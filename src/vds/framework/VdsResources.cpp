#include "vds/framework/VdsResources.h"

#include "platform/strings/StringTable.h"

namespace {

std::optional<std::u16string> nonEmpty(std::optional<std::u16string> text)
{
    if (text && text->empty())
        return std::nullopt;
    return text;
}

} // namespace

orv::platform::ResourceLibrary& VdsResources::library()
{
    static orv::platform::ResourceLibrary resources;
    return resources;
}

HRESULT VdsResources::ensureLoaded()
{
    if (library().isLoaded())
        return S_OK;
    return library().load();
}

std::optional<std::u16string> VdsResources::libraryString(UINT id)
{
    if (auto text = nonEmpty(library().loadString(id)))
        return text;
    library().unload();
    if (FAILED(library().load()))
        return std::nullopt;
    return nonEmpty(library().loadString(id));
}

std::optional<std::u16string> VdsResources::programString(UINT id)
{
    return nonEmpty(orv::platform::StringTable::loadString(id));
}
