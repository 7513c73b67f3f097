// The VDS result codes the provider returns, with their published values.
#pragma once

#include "platform/com/WinTypes.h"

constexpr HRESULT VDS_E_NOT_SUPPORTED = static_cast<HRESULT>(0x80042400u);
constexpr HRESULT VDS_E_ANOTHER_CALL_IN_PROGRESS = static_cast<HRESULT>(0x80042404u);
constexpr HRESULT VDS_E_OBJECT_NOT_FOUND = static_cast<HRESULT>(0x80042405u);
constexpr HRESULT VDS_E_OBJECT_DELETED = static_cast<HRESULT>(0x8004240Bu);
constexpr HRESULT VDS_E_OPERATION_CANCELED = static_cast<HRESULT>(0x8004240Du);
constexpr HRESULT VDS_E_NOT_ENOUGH_SPACE = static_cast<HRESULT>(0x8004240Fu);
constexpr HRESULT VDS_E_NOT_ENOUGH_DRIVE = static_cast<HRESULT>(0x80042410u);
constexpr HRESULT VDS_E_UNRECOVERABLE_ERROR = static_cast<HRESULT>(0x80042419u);
constexpr HRESULT VDS_E_OBJECT_EXISTS = static_cast<HRESULT>(0x8004241Du);
constexpr HRESULT VDS_E_PROVIDER_CACHE_CORRUPT = static_cast<HRESULT>(0x8004241Fu);
constexpr HRESULT VDS_E_OBJECT_STATUS_FAILED = static_cast<HRESULT>(0x80042431u);
constexpr HRESULT VDS_E_PROVIDER_FAILURE = static_cast<HRESULT>(0x80042442u);
