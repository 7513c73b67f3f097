// CorvaneInfoListWriter: the managed-array list with its registry writer, as the provider
// holds it.
//
// Save rewrites the whole registry list in one registry transaction, so other processes
// see either the old list or the new one, and a process killed in the middle of a save
// leaves the old list whole. A password that cannot be protected (too long) stops the save
// at its entry; the entries before it are kept (committed), the entry itself is not
// written. Any registry failure undoes the whole save.
#pragma once

#include "vds/framework/CorvaneInfoList.h"

#include <cstddef>
#include <string_view>

namespace orv::platform {
class RegistryKey;
}

class CorvaneInfoListWriter : public CorvaneInfoList {
public:
    CorvaneInfoListWriter() = default;
    ~CorvaneInfoListWriter() override = default;
    CorvaneInfoListWriter(const CorvaneInfoListWriter&) = default;
    CorvaneInfoListWriter& operator=(const CorvaneInfoListWriter&) = default;

    // Memory to registry; a result code of CorvaneInfoList.
    int Save();

    std::string className() const override { return "CorvaneInfoListWriter"; }

protected:
    // Called after the entry at `index` was written, before the transaction ends; lets a
    // test stop the process there.
    virtual void OnEntrySaved(std::size_t /*index*/) {}

private:
    int SaveLocked(const RegistryNames& names, bool& commitPartial);
    // Deletes `name` below `parent` with everything beneath it; a missing key counts as
    // deleted.
    static bool DeleteKeyRecursively(orv::platform::RegistryKey& parent, std::u16string_view name);
};
