#pragma once

// One extrinsic method call as a handler sees it: the transaction it changes the model
// through, its in-parameters already converted to the types the method declares, its
// out-parameters, and look-ups from the references clients pass to the array's objects.

#include "sim/ArrayModel.h"
#include "sim/PowerCycle.h"
#include "sim/SimulatorSettings.h"

#include "cim/value/CIMObjectPath.h"
#include "cim/value/CIMParamValue.h"
#include "cim/value/CIMValue.h"

#include <map>
#include <optional>
#include <string>
#include <vector>

namespace Merrow::Sim {

class MethodCall {
public:
    MethodCall(ModelTransaction& transaction, const SimulatorSettings& settings, cim::CIMObjectPath target,
               std::map<std::string, cim::CIMValue> in);

    ModelTransaction& transaction() { return m_transaction; }
    ArrayState& state() { return m_transaction.state(); }
    const ModelView& view() const { return m_transaction.view(); }
    const SimulatorSettings& settings() const { return m_settings; }
    const cim::CIMObjectPath& target() const { return m_target; }

    bool has(const char* name) const;
    // The parameter's value, or nullopt when it was not sent or is null.
    template <typename T>
    std::optional<T> in(const char* name) const
    {
        const cim::CIMValue* value = find(name);
        if (value == nullptr || value->isNull())
            return std::nullopt;
        return value->get<T>();
    }
    template <typename T>
    T in(const char* name, T fallback) const
    {
        return in<T>(name).value_or(std::move(fallback));
    }
    std::vector<cim::CIMObjectPath> references(const char* name) const;
    std::vector<std::string> strings(const char* name) const;

    void out(const char* name, cim::CIMValue value);
    std::vector<cim::CIMParamValue> takeOutParameters() { return std::move(m_out); }

    // The array object a reference names, or nullptr when it names nothing of that kind.
    SimVolume* volume(const cim::CIMObjectPath& path);
    SimVolume* volumeOfTarget(const cim::CIMObjectPath& path);
    SimDisk* disk(const cim::CIMObjectPath& path);
    SimInitiator* initiator(const cim::CIMObjectPath& path);
    SimJob* job(const cim::CIMObjectPath& path);
    SimPort* port(const cim::CIMObjectPath& path);
    SimLag* lag(const cim::CIMObjectPath& path);
    SimPortal* portal(const cim::CIMObjectPath& path);
    // The InstanceID of the pool a reference names, or empty.
    std::string pool(const cim::CIMObjectPath& path) const;

    // References the array hands back, in its storage namespace. They are built from the
    // keys, so they also name objects this call created (which the model projects only
    // when the call commits).
    cim::CIMObjectPath devicePath(const char* className, const std::string& deviceId) const;
    cim::CIMObjectPath accessPointPath(const char* className, const std::string& systemName,
                                       const std::string& name) const;
    static cim::CIMObjectPath instancePath(const char* className, const std::string& instanceId);

    std::int64_t nowMilliseconds() const;

    // The array goes down once this call is answered (shutdown and restart methods).
    void requestPowerCycle(PowerCycle cycle) { m_powerCycle = cycle; }
    std::optional<PowerCycle> powerCycle() const { return m_powerCycle; }

private:
    const cim::CIMValue* find(const char* name) const;
    // The primary key value of the stored object the path names when it is of class
    // `className` (or a subclass); empty otherwise.
    std::string primaryValue(const cim::CIMObjectPath& path, const char* className) const;

    ModelTransaction& m_transaction;
    const SimulatorSettings& m_settings;
    const cim::CIMObjectPath m_target;
    const std::map<std::string, cim::CIMValue> m_in;
    std::vector<cim::CIMParamValue> m_out;
    std::optional<PowerCycle> m_powerCycle;
};

} // namespace Merrow::Sim
