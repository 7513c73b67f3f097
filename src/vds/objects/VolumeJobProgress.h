// VolumeJobProgress: the progress of the array's jobs on one volume (its creation, growth or
// reconfiguration), for the IVdsAsync object of the request that started them.
//
// The array accepts such a request at once and runs a job; the job is reached through the
// volume's tasks. Jobs that had already ended when the request was made are not this
// request's and are left out. A job that fails makes the request fail; a volume whose
// tasks can no longer be read (the array is gone, the volume was deleted) ends the wait
// with a failure as well, since the outcome cannot be known.
//
// Threads: one caller at a time (the asynchronous object's lock); the facades lock
// themselves.
#pragma once

#include "user_agent/services/Service_Volume.h"
#include "vds/framework/AsyncProgress.h"

#include <set>
#include <string>

class VolumeJobProgress : public AsyncProgress {
public:
    // Follows the jobs of `volume` except those named in `endedBefore`.
    VolumeJobProgress(const Merrow::UserAgent::Service_Volume& volume,
                      std::set<std::string> endedBefore);

    // Ids of the jobs of `volume` that have ended by now: taken before a request on an
    // existing volume, so that an old failed job is not blamed on the new request.
    static std::set<std::string> EndedJobs(const Merrow::UserAgent::Service_Volume& volume);

    AsyncProgressReading Read() override;

private:
    bool volumeExists();

    Merrow::UserAgent::Service_Volume m_Volume;
    // Ids of the volume's jobs that had ended before the request.
    std::set<std::string> m_EndedBefore;
};
