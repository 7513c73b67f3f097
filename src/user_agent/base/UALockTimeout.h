#pragma once

#include "user_agent/base/MWExceptions.h"

namespace Merrow::UserAgent {

// A UALockableObject lock that could not be taken within its limit. Callers that poll (the
// keep-alive thread) skip the object and try again later; everyone else lets it reach the
// operation boundary like any other library failure.
class UALockTimeout : public MWERuntimeError {
public:
    using MWERuntimeError::MWERuntimeError;
    std::string className() const override;
};

} // namespace Merrow::UserAgent
