#include "vds/objects/VdsServiceIdentity.h"

bool IsSameArrayObject(const Merrow::UserAgent::MerrowService& first,
                       const Merrow::UserAgent::MerrowService& second)
{
    if (!first.IsValid() || !second.IsValid())
        return false;
    if (first.IsSameService(second))
        return true;
    return !first.GetInstanceIdentity().empty() &&
           first.GetInstanceIdentity() == second.GetInstanceIdentity();
}
