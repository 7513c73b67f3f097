#pragma once

// Turns the model's changes into indications for every enabled subscription whose filter
// matches, and hands them to the sender. Runs under the model lock (ChangeListener), which
// also serialises the indication identifiers, so indications leave in the order the
// changes were made.
//
// Each indication carries "IndicationIdentifier" (a decimal counter), "IndicationTime",
// "SourceInstance" (embedded), "SourceInstanceModelPath" (the source's path with this
// host and the namespace), "SourceInstanceHost" and, for modifications,
// "PreviousInstance".

#include "sim/ArrayModel.h"
#include "sim/IndicationQuery.h"
#include "sim/IndicationSink.h"
#include "sim/SimulatorSettings.h"

#include <map>
#include <optional>
#include <string>

namespace Merrow::Sim {

class IndicationRouter : public ChangeListener {
public:
    IndicationRouter(IndicationSink& sink, std::string host, const SimulatorSettings& settings);

    void onChanges(const ModelView& view, const std::vector<InstanceChange>& changes) override;

    std::uint64_t indicationsBuilt() const { return m_nextIdentifier - 1; }

private:
    struct Subscription {
        IndicationQuery query;
        IndicationDelivery destination;
    };

    std::vector<Subscription> activeSubscriptions(const ModelView& view);
    std::shared_ptr<const cim::CIMInstance> indicationFor(const InstanceChange& change, const char* className);

    IndicationSink& m_sink;
    const std::string m_host;
    const SimulatorSettings& m_settings;
    std::uint64_t m_nextIdentifier = 1;
    std::map<std::string, std::optional<IndicationQuery>> m_queries;
};

} // namespace Merrow::Sim
