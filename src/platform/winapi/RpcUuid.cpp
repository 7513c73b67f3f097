#include "platform/winapi/RpcUuid.h"

RPC_STATUS UuidCreateNil(UUID* Uuid)
{
    *Uuid = GUID_NULL;
    return RPC_S_OK;
}

int UuidIsNil(const UUID* Uuid, RPC_STATUS* Status)
{
    if (Status != nullptr)
        *Status = RPC_S_OK;
    return Uuid == nullptr || *Uuid == GUID_NULL ? 1 : 0;
}
