// AsyncProgress: where an asynchronous VDS operation learns how far the array's own job
// has come. The provider's operations return as soon as the array accepted the work; the
// array may still be building or growing the volume. An IVdsAsync object given a progress
// reports that job's percentage from QueryStatus and lets Wait return once it ended.
//
// Threads: the asynchronous object calls Read under its own lock, one caller at a time.
#pragma once

#include "platform/com/WinTypes.h"

struct AsyncProgressReading {
    // 0 to 100.
    ULONG percentComplete = 100;
    // The array's work ended (well or not), or can no longer be followed.
    bool finished = true;
    // The outcome once finished: S_OK, or the failure the operation reports.
    HRESULT outcome = S_OK;
};

class AsyncProgress {
public:
    virtual ~AsyncProgress() = default;
    virtual AsyncProgressReading Read() = 0;
};
