// The catch block that every COM method of the VDS layer needs, written once: no
// exception may leave a COM method, so each runs its body through GuardVdsMethod:
//
//     HRESULT COrvLun::Extend(ULONGLONG size, VDS_OBJECT_ID* drives, LONG count,
//                             IVdsAsync** ppAsync)
//     {
//         return GuardVdsMethod("COrvLun::Extend", E_FAIL, [&] {
//             ...
//             return S_OK;
//         });
//     }
//
// An exception ends the method with `onException` (the value each method states: E_FAIL,
// E_UNEXPECTED, ...). A std::exception is traced as a warning with its text; anything else
// is the error " VDS Provider run-time exception caught!" after the method's name, in
// category "TC.VDS.ObjectBase".
#pragma once

#include "platform/com/WinTypes.h"
#include "trace/Trace.h"

#include <exception>
#include <type_traits>

template <class Body>
HRESULT GuardVdsMethod(const char* method, HRESULT onException, Body&& body) noexcept
{
    static_assert(std::is_same_v<std::invoke_result_t<Body>, HRESULT>,
                  "the body answers the method's HRESULT");
    try {
        return body();
    } catch (const std::exception& error) {
        try {
            MWTRACE(Merrow::Trace::TV_WARNING, Merrow::Trace::TC_VDS_OBJECT_BASE)
                << method << ": " << error.what() << MWENDREC;
        } catch (...) {
        }
        return onException;
    } catch (...) {
        try {
            MWTRACE(Merrow::Trace::TV_ERROR, Merrow::Trace::TC_VDS_OBJECT_BASE)
                << method << " VDS Provider run-time exception caught!" << MWENDREC;
        } catch (...) {
        }
        return onException;
    }
}
