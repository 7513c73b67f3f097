#include "sim/VolumeSettings.h"

#include "sim/CimJson.h"

#include "cim/value/CIMException.h"

#include <strings.h>

namespace Merrow::Sim {
namespace {

using cim::CIMException;
using cim::CIMStatusCode;

struct Setting {
    const char* name;
    cim::CIMValue defaultValue;
    bool writable;
};

const Setting kSettings[] = {
    {"IsReadOnly", cim::CIMValue(false), true},
    {"IsSyncCacheDisabled", cim::CIMValue(false), true},
    {"IsOptimizedForMultiTrackAudio", cim::CIMValue(false), true},
    {"ReadAheadSizeIsAutomatic", cim::CIMValue(true), true},
    {"ReadAheadByteCount", cim::CIMValue(std::uint64_t(65536)), true},
    {"MaxReadAheadByteCount", cim::CIMValue(VolumeSettings::kMaxReadAheadBytes), false},
    {"BlockSizeBytes", cim::CIMValue(std::uint32_t(512)), true},
};

const Setting* find(const std::string& property) {
    for (const Setting& setting : kSettings)
        if (::strcasecmp(setting.name, property.c_str()) == 0)
            return &setting;
    return nullptr;
}

void check(const Setting& setting, const cim::CIMValue& value) {
    const std::string name = setting.name;
    if (name == "BlockSizeBytes") {
        const std::uint32_t bytes = value.get<std::uint32_t>();
        if (bytes != 512 && bytes != 4096)
            throw CIMException(CIMStatusCode::InvalidParameter, "BlockSizeBytes must be 512 or 4096");
    }
    if (name == "ReadAheadByteCount" && value.get<std::uint64_t>() > VolumeSettings::kMaxReadAheadBytes)
        throw CIMException(CIMStatusCode::InvalidParameter, "ReadAheadByteCount exceeds MaxReadAheadByteCount");
}

} // namespace

void VolumeSettings::project(InstanceBuilder& setting, const SimVolume& volume) {
    for (const Setting& entry : kSettings) {
        const auto changed = volume.settings.find(entry.name);
        setting.set(entry.name, changed == volume.settings.end() ? entry.defaultValue
                                                                 : CimJson::valueFromJson(changed->second));
    }
}

void VolumeSettings::apply(SimVolume& volume, const std::string& property, const cim::CIMValue& value) {
    const Setting* setting = find(property);
    if (setting == nullptr || !setting->writable)
        throw CIMException(CIMStatusCode::NotSupported, "a volume setting's " + property + " is read-only");
    if (value.isNull() || value.getType() != setting->defaultValue.getType())
        throw CIMException(CIMStatusCode::TypeMismatch, property);
    check(*setting, value);
    volume.settings[setting->name] = CimJson::valueToJson(value);
}

} // namespace Merrow::Sim
