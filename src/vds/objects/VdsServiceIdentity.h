// Which array object a facade handle stands for. Every read of an array collection makes
// fresh facade implementations, each with a serial of its own, so two reads of one volume
// never share an instance serial; what they share is the object path of the array object,
// which the implementation reports as its instance identity. The refresh matches VDS
// objects and array items by that.
#pragma once

#include "user_agent/indications/MerrowService.h"

// Both handles are valid and stand for one array object.
bool IsSameArrayObject(const Merrow::UserAgent::MerrowService& first,
                       const Merrow::UserAgent::MerrowService& second);
