// The stand-in for the RPC run-time's nil-UUID helpers, with which the VDS objects mark
// "no LUN" and "no plex" in drive extents.
#pragma once

#include "platform/com/Guid.h"

using UUID = GUID;
using RPC_STATUS = LONG;
constexpr RPC_STATUS RPC_S_OK = 0;

// Sets *Uuid to the nil UUID.
RPC_STATUS UuidCreateNil(UUID* Uuid);
// TRUE for the nil UUID and, as the RPC run-time has it, for a null pointer.
int UuidIsNil(const UUID* Uuid, RPC_STATUS* Status);
