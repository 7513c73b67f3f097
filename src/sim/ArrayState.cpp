#include "sim/ArrayState.h"

#include <algorithm>
#include <cstdio>

namespace Merrow::Sim {

namespace {

std::uint64_t blocksOn(const SimVolumeLayout& layout, const std::string& diskId)
{
    std::uint64_t blocks = 0;
    for (const SimExtent& extent : layout.extents) {
        if (extent.diskId == diskId)
            blocks += extent.blocks;
    }
    return blocks;
}

} // namespace

std::string ArrayState::allocateId(const std::string& prefix)
{
    std::uint32_t& next = nextId[prefix];
    if (next == 0)
        next = 1;
    char digits[16];
    std::snprintf(digits, sizeof digits, "%06x", static_cast<unsigned>(next++ & 0xFFFFFFu));
    return prefix + digits;
}

std::uint64_t ArrayState::blocksHeldBy(const SimVolume& volume, const std::string& diskId) const
{
    const std::uint64_t now = blocksOn(volume.layout, diskId);
    if (!volume.reconfiguration)
        return now;
    return std::max(now, blocksOn(volume.reconfiguration->layout, diskId));
}

std::uint64_t ArrayState::freeBlocks(const SimDisk& disk) const
{
    std::uint64_t held = 0;
    for (const auto& [id, volume] : volumes)
        held += blocksHeldBy(volume, disk.id);
    return held >= disk.blocks ? 0 : disk.blocks - held;
}

const SimVolume* ArrayState::findVolumeByName(const std::string& name) const
{
    for (const auto& [id, volume] : volumes) {
        if (volume.name == name)
            return &volume;
    }
    return nullptr;
}

const SimInitiator* ArrayState::findInitiatorByName(const std::string& name) const
{
    for (const auto& [id, initiator] : initiators) {
        if (initiator.name == name)
            return &initiator;
    }
    return nullptr;
}

const SimAccount* ArrayState::findAccountByUser(const std::string& userId) const
{
    for (const auto& [id, account] : accounts) {
        if (account.userId == userId)
            return &account;
    }
    return nullptr;
}

const SimGrant* ArrayState::findGrant(const std::string& initiatorId, const std::string& volumeId) const
{
    for (const auto& [id, grant] : grants) {
        if (grant.initiatorId == initiatorId && grant.volumeId == volumeId)
            return &grant;
    }
    return nullptr;
}

const SimVolume* ArrayState::findShadowOwner(const std::string& shadowId) const
{
    for (const auto& [id, volume] : volumes) {
        if (volume.reconfiguration && volume.reconfiguration->shadowId == shadowId)
            return &volume;
    }
    return nullptr;
}

} // namespace Merrow::Sim
