#pragma once

#include "user_agent/profiles/ProfileTable.h"

namespace Merrow::UserAgent {

// A disk drive: its extent and media, the volume extents on it, its pool, its SMART status
// and its jobs.
// Containers and accessors are listed in Profile_Disk.def.
class Profile_Disk : public MerrowProfile {
public:
    // Actions (Profile_Disk_Custom.cpp); each answers as ExecResult judges the array's number.

    // Prepares the disk for use; the array runs it as a job.
    MerrowReturnValue InitDrive();
    // Takes the disk out of service; the array lets go of one disk at a time only.
    MerrowReturnValue DownDrive();

#define MERROW_PROFILE_CLASS Profile_Disk
#define MERROW_PROFILE_TABLE "user_agent/profiles/Profile_Disk.def"
#include "user_agent/profiles/ProfileTableDeclarations.inc"
};

} // namespace Merrow::UserAgent
