// The objects behind a VDS enumerator, each asked for the interface the caller needs.
#pragma once

#include "CommandError.h"

#include "platform/com/CComPtr.h"
#include "platform/vds/VdsInterfaces.h"

#include <string>
#include <vector>

namespace orvraid {

// Every object of `enumerator`, in its order, as `Interface`. CommandError::vdsCall
// naming `operation` when the enumerator or an object fails.
template <class Interface>
std::vector<CComPtr<Interface>> collectObjects(IEnumVdsObject* enumerator, const std::string& operation)
{
    std::vector<CComPtr<Interface>> objects;
    for (;;) {
        CComPtr<IUnknown> object;
        ULONG fetched = 0;
        const HRESULT hr = enumerator->Next(1, object.put(), &fetched);
        throwIfFailed(hr, operation);
        if (hr == S_FALSE || fetched == 0)
            return objects;
        CComPtr<Interface> typed;
        throwIfFailed(object.QueryInterface(typed.put()), operation);
        objects.push_back(std::move(typed));
    }
}

// Calls `query` (a Query... method bound to its object) and collects what it enumerates.
template <class Interface, class Query>
std::vector<CComPtr<Interface>> queryObjects(Query&& query, const std::string& operation)
{
    CComPtr<IEnumVdsObject> enumerator;
    throwIfFailed(query(enumerator.put()), operation);
    if (!enumerator)
        throw CommandError::vdsCall(operation, E_POINTER);
    return collectObjects<Interface>(enumerator.get(), operation);
}

}  // namespace orvraid
