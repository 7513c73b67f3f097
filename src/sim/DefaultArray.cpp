#include "sim/DefaultArray.h"

#include "sim/ModelNames.h"

#include <cstdio>
#include <stdexcept>

namespace Merrow::Sim {

namespace {

std::string hex2(unsigned value)
{
    char text[4];
    std::snprintf(text, sizeof text, "%02x", value & 0xFFu);
    return text;
}

std::string volumeName(unsigned index)
{
    char text[32];
    std::snprintf(text, sizeof text, "vol%03u", index);
    return text;
}

std::string diskModel(std::uint64_t bytes)
{
    return "CD-" + std::to_string(bytes / 1'000'000'000ull) + "S";
}

bool slotTaken(const ArrayState& state, std::uint16_t slot)
{
    for (const auto& [id, disk] : state.disks) {
        if (disk.slot == slot)
            return true;
    }
    return false;
}

void addNetwork(ArrayState& state)
{
    const std::string serial = state.system.serialNumber;
    const unsigned serialByte = static_cast<unsigned>(std::stoul(serial.substr(0, 2), nullptr, 16));
    for (std::uint8_t controller = 0; controller < 2; ++controller) {
        std::vector<std::string> portIds;
        for (std::uint16_t number = 1; number <= DefaultArray::kPortsPerController; ++number) {
            SimPort port;
            port.id = state.allocateId(IdPrefix::Port);
            port.controller = controller;
            port.number = number;
            port.macAddress = "00:0c:a7:" + hex2(controller) + ":" + hex2(serialByte) + ":" + hex2(number);
            portIds.push_back(port.id);
            state.ports.emplace(port.id, port);
        }
        SimLag lag;
        lag.id = state.allocateId(IdPrefix::Lag);
        lag.controller = controller;
        lag.name = std::string("lag-") + ModelNames::controllerLetter(controller);
        lag.macAddress = state.ports.at(portIds[0]).macAddress;
        lag.portIds = {portIds[0], portIds[1]};
        state.lags.emplace(lag.id, lag);

        SimPortal portal;
        portal.id = state.allocateId(IdPrefix::Portal);
        portal.lagId = lag.id;
        const std::string subnet = "10.10." + std::to_string(controller + 1) + ".";
        portal.ipAddress = subnet + "10";
        portal.subnetMask = "255.255.255.0";
        portal.gateway = subnet + "1";
        state.portals.emplace(portal.id, portal);
    }
    const char* const routes[][3] = {
        {"10.10.1.0", "255.255.255.0", "0.0.0.0"},
        {"10.20.0.0", "255.255.0.0", "10.10.1.254"},
        {"0.0.0.0", "0.0.0.0", "10.10.1.1"},
    };
    for (const auto& [destination, mask, gateway] : routes) {
        SimRoute route{state.allocateId(IdPrefix::Route), destination, mask, gateway};
        state.routes.emplace(route.id, route);
    }
}

} // namespace

void DefaultArray::resetNetwork(ArrayState& state)
{
    state.ports.clear();
    state.lags.clear();
    state.portals.clear();
    state.routes.clear();
    addNetwork(state);
}

std::string DefaultArray::durableName(const ArrayState& state, const std::string& volumeId)
{
    return "600CA7" + state.system.serialNumber + "0000" + volumeId + "000000";
}

SimTarget DefaultArray::makeTarget(ArrayState& state, const std::string& volumeId, const std::string& name)
{
    SimTarget target;
    target.id = state.allocateId(IdPrefix::Target);
    target.name = name;
    target.iqn = ModelNames(state.system.serialNumber).targetIqn(volumeId);
    return target;
}

std::string DefaultArray::addDisk(ArrayState& state, std::uint64_t bytes)
{
    std::uint16_t slot = 1;
    while (slotTaken(state, slot))
        ++slot;
    SimDisk disk;
    disk.id = state.allocateId(IdPrefix::Disk);
    disk.slot = slot;
    disk.blocks = bytes / VolumeLayout::kBlockSize;
    char serial[32];
    std::snprintf(serial, sizeof serial, "CD%s%02u", state.system.serialNumber.c_str(), static_cast<unsigned>(slot));
    disk.serialNumber = serial;
    disk.model = diskModel(bytes);
    disk.vendor = "CORVANE";
    disk.firmwareRevision = "CD05";
    disk.poolId = PoolId::Available;
    state.disks.emplace(disk.id, disk);
    return disk.id;
}

std::string DefaultArray::addVolume(ArrayState& state, const std::string& name, std::uint64_t bytes,
                                    const std::string& poolId)
{
    const std::uint64_t blocks = VolumeLayout::blocksForBytes(bytes);
    const SimDisk* best = nullptr;
    std::uint64_t bestFree = 0;
    for (const auto& [id, disk] : state.disks) {
        if (disk.poolId != poolId || !disk.online)
            continue;
        const std::uint64_t free = state.freeBlocks(disk);
        if (free >= blocks && (best == nullptr || free > bestFree)) {
            best = &disk;
            bestFree = free;
        }
    }
    if (best == nullptr || blocks == 0)
        return {};
    SimVolume volume;
    volume.id = state.allocateId(IdPrefix::Volume);
    volume.name = name;
    volume.durableName = durableName(state, volume.id);
    volume.poolId = poolId;
    volume.layout.blocks = blocks;
    volume.layout.extents.push_back({state.allocateId(IdPrefix::LeafExtent), best->id, blocks});
    volume.target = makeTarget(state, volume.id, name);
    std::string id = volume.id;
    state.volumes.emplace(id, std::move(volume));
    return id;
}

std::string DefaultArray::addInitiator(ArrayState& state, const std::string& name)
{
    SimInitiator initiator;
    initiator.id = state.allocateId(IdPrefix::Initiator);
    initiator.name = name;
    initiator.elementName = name;
    state.initiators.emplace(initiator.id, initiator);
    return initiator.id;
}

ArrayState DefaultArray::build(const ArrayOptions& options)
{
    if (options.disks == 0 || options.disks > kMaxDisks)
        throw std::invalid_argument("the array holds 1 to " + std::to_string(kMaxDisks) + " disks");
    if (options.diskBytes < (1ull << 30))
        throw std::invalid_argument("disks must hold at least 1 GiB");
    if (options.volumes > 0 && options.volumeBytes == 0)
        throw std::invalid_argument("volumes must have a size");

    ArrayState state;
    state.system.serialNumber =
        options.serialNumber.empty() ? ModelNames::serialForAddress(options.address) : options.serialNumber;
    state.system.name = options.name.empty() ? "Corvane-" + state.system.serialNumber : options.name;
    state.system.firmwareVersion = options.firmwareVersion;

    const unsigned waiting = options.disks / 4;
    for (unsigned i = 0; i < options.disks; ++i) {
        const std::string id = addDisk(state, options.diskBytes);
        if (i < options.disks - waiting)
            state.disks.at(id).poolId = PoolId::BaseA;
    }

    // Place volumes on the base disks by hand: asking every disk for its free space per
    // volume would cost time proportional to the square of the volume count.
    std::vector<std::pair<std::string, std::uint64_t>> freeByDisk;
    for (const auto& [id, disk] : state.disks) {
        if (disk.poolId == PoolId::BaseA)
            freeByDisk.emplace_back(id, disk.blocks);
    }
    const std::uint64_t blocks = VolumeLayout::blocksForBytes(options.volumeBytes);
    for (unsigned i = 1; i <= options.volumes; ++i) {
        auto& [diskId, free] = freeByDisk[(i - 1) % freeByDisk.size()];
        if (free < blocks) {
            throw std::invalid_argument(std::to_string(options.volumes) + " volumes of " +
                                        std::to_string(options.volumeBytes >> 20) + " MiB do not fit on " +
                                        std::to_string(freeByDisk.size()) + " base disks");
        }
        free -= blocks;
        SimVolume volume;
        volume.id = state.allocateId(IdPrefix::Volume);
        volume.name = volumeName(i);
        volume.durableName = durableName(state, volume.id);
        volume.poolId = PoolId::BaseA;
        volume.layout.blocks = blocks;
        volume.layout.extents.push_back({state.allocateId(IdPrefix::LeafExtent), diskId, blocks});
        volume.target = makeTarget(state, volume.id, volume.name);
        state.volumes.emplace(volume.id, std::move(volume));
    }

    for (unsigned i = 1; i <= options.initiators; ++i)
        addInitiator(state, "iqn.2024-01.org.example:host" + std::to_string(i));

    addNetwork(state);
    addFactoryAccount(state);
    return state;
}

void DefaultArray::addFactoryAccount(ArrayState& state)
{
    const std::string id = state.allocateId(IdPrefix::Account);
    state.accounts.emplace(id, SimAccount{id, "admin", "corvane-admin", "Administrator"});
}

} // namespace Merrow::Sim
