#include "ServiceWords.h"

#include "user_agent/attributes/AttributeRegistry.h"
#include "user_agent/attributes/AttributeValue.h"
#include "user_agent/attributes/ServiceAttributes.h"

#include <cstring>
#include <sstream>

namespace corvane {
namespace {

using Merrow::UserAgent::AttributeDescriptor;
using Merrow::UserAgent::AttributeRegistry;
using Merrow::UserAgent::AttributeValue;
using Merrow::UserAgent::ServiceAttributes;
using R = MerrowReturnValue;

// word, walk from the system ("/" between attributes), selector attribute (empty: the word
// takes no argument), class reached, what it is.
struct ServiceWord {
    const char* word;
    const char* walk;
    const char* selector;
    const char* typeName;
    const char* about;
};

constexpr ServiceWord kServiceWords[] = {
    {"system", "", "", "Service_CorvaneSystem", "the array as a whole"},
    {"controllers", "Controllers", "", "Service_Controller", "every controller"},
    {"controller", "Controllers", "Slot", "Service_Controller", "one controller by slot"},
    {"volume-list", "VolumeList", "", "Service_VolumeList", "the volume list"},
    {"volumes", "VolumeList/Volumes", "", "Service_Volume", "every volume"},
    {"volume", "VolumeList/Volumes", "Name", "Service_Volume", "one volume by name"},
    {"disks", "DiskList/Disks", "", "Service_Disk", "every disk"},
    {"disk", "DiskList/Disks", "SlotNumber", "Service_Disk", "one disk by slot number"},
    {"pools", "PoolList/Pools", "", "Service_Pool", "every storage pool"},
    {"pool", "PoolList/Pools", "Name", "Service_Pool", "one pool by name"},
    {"tasks", "TaskList/Tasks", "", "Service_Task", "every array job"},
    {"task", "TaskList/Tasks", "TaskID", "Service_Task", "one job by its id"},
    {"iscsi", "iSCSI", "", "Service_iSCSI", "the iSCSI service"},
    {"targets", "iSCSI/iSCSITargets", "", "Service_iSCSITarget", "every iSCSI target"},
    {"target", "iSCSI/iSCSITargets", "DurableName", "Service_iSCSITarget", "one target by iSCSI name"},
    {"initiators", "iSCSI/Initiators", "", "Service_Initiator", "every registered initiator"},
    {"initiator", "iSCSI/Initiators", "GlobalID", "Service_Initiator", "one initiator by iSCSI name"},
    {"portals", "iSCSI/Portals", "", "Service_Portal", "every iSCSI portal"},
    {"portal", "iSCSI/Portals", "IPAddress", "Service_Portal", "one portal by address"},
    {"ports", "iSCSI/PhysicalPorts", "", "Service_PhysicalPort", "every Ethernet port"},
    {"lags", "iSCSI/LAGs", "", "Service_LAG", "every link aggregate"},
    {"advanced-settings", "AdvancedSettings", "", "Service_AdvancedSettings", "array-wide protocol settings"},
    {"management-port", "ManagementPort", "", "Service_ManagementPort", "the management port"},
    {"routes", "NetworkRouteList/NetworkRoutes", "", "Service_NetworkRoute", "every network route"},
    {"statistics", "SystemStatistics", "", "Service_SystemStatistics", "counts of the array's objects"},
    {"enclosure", "Enclosure", "", "Service_Enclosure", "the enclosure"},
};

// Follow words: lower-case names of attributes that lead to further services.
constexpr std::pair<const char*, const char*> kFollowWords[] = {
    {"target", "Target"}, {"composition", "VolumeComposition"}, {"extents", "Extents"},
    {"pool", "Pool"}, {"disks", "Disks"}, {"disk", "Disk"}, {"volume", "Volume"},
    {"ports", "PhysicalPorts"}, {"lags", "LAGs"}, {"portals", "Portals"},
    {"sessions", "Sessions"}, {"connections", "Connections"}, {"initiators", "Initiators"},
    {"targets", "Targets"}, {"base-pool", "BasePool"},
};

const ServiceWord* findWord(const std::string& word) {
    for (const ServiceWord& entry : kServiceWords)
        if (word == entry.word)
            return &entry;
    return nullptr;
}

std::vector<std::string> splitWalk(const char* walk) {
    std::vector<std::string> names;
    std::istringstream in(walk);
    for (std::string name; std::getline(in, name, '/');)
        if (!name.empty())
            names.push_back(name);
    return names;
}

const AttributeDescriptor* readable(const std::string& typeName, const std::string& attribute) {
    const AttributeRegistry* registry = AttributeRegistry::Find(typeName);
    return registry ? registry->find(AttributeDescriptor::kReadable, attribute) : nullptr;
}

// The class a readable attribute of `typeName` leads to, empty when it leads to none.
std::string followedClass(const std::string& typeName, const std::string& attribute) {
    const AttributeDescriptor* found = readable(typeName, attribute);
    return found && found->ops().isObject ? found->ops().typeName : "";
}

// Whether the last step of a walk from the system hands out a list.
bool endsInList(const std::vector<std::string>& walk) {
    std::string typeName = "Service_CorvaneSystem";
    const AttributeDescriptor* last = nullptr;
    for (const std::string& attribute : walk) {
        last = readable(typeName, attribute);
        if (last == nullptr)
            return false;
        typeName = last->ops().typeName;
    }
    return last != nullptr && last->ops().isList;
}

R servicesOf(const std::vector<MerrowService>& from, const std::string& attribute,
             std::vector<MerrowService>& services) {
    std::vector<MerrowService> next;
    for (const MerrowService& service : from) {
        AttributeValue value;
        const R result = ServiceAttributes::GetValue(service, attribute, value);
        if (result.isFailure())
            return result;
        for (const MerrowService& found : value.services())
            next.push_back(found);
    }
    services = std::move(next);
    return R();
}

R select(const std::vector<MerrowService>& candidates, const std::string& selector,
         const std::string& selection, const std::string& what, MerrowService& chosen) {
    if (!selection.empty() && selection[0] == '#') {
        const std::size_t index = std::strtoul(selection.c_str() + 1, nullptr, 10);
        if (index >= 1 && index <= candidates.size()) {
            chosen = candidates[index - 1];
            return R();
        }
        return R(R::UA_E_FAIL, "there is no " + what + " " + selection + " (" + std::to_string(candidates.size()) + " in all)");
    }
    for (const MerrowService& candidate : candidates) {
        std::string text;
        if (!ServiceAttributes::Get(candidate, selector, text).isFailure() && text == selection) {
            chosen = candidate;
            return R();
        }
    }
    return R(R::UA_E_FAIL, "there is no " + what + " with " + selector + " '" + selection + "'");
}

} // namespace

R ServiceWords::plan(std::vector<std::string>& words, Plan& plan) {
    if (words.empty())
        return R(R::UA_E_INVALIDARG, "no service named (try: corvane help)");
    const ServiceWord* word = findWord(words.front());
    if (word == nullptr)
        return R(R::UA_E_INVALIDARG, "unknown service '" + words.front() + "' (try: corvane help)");
    plan = Plan{word->word, word->typeName, splitWalk(word->walk), word->selector, 0, "", false};
    words.erase(words.begin());
    plan.many = plan.selector.empty() && endsInList(plan.walk);
    if (!plan.selector.empty()) {
        if (words.empty())
            return R(R::UA_E_INVALIDARG, std::string(word->word) + " needs a " + plan.selector + " or #N");
        plan.selectAt = plan.walk.size();
        plan.selection = words.front();
        plan.description += " " + words.front();
        words.erase(words.begin());
    }
    while (!words.empty()) {
        const std::string& follow = words.front();
        const char* attribute = nullptr;
        for (const auto& [name, target] : kFollowWords)
            if (follow == name)
                attribute = target;
        const std::string next = attribute ? followedClass(plan.typeName, attribute) : "";
        if (next.empty())
            break;
        plan.walk.push_back(attribute);
        plan.many = plan.many || readable(plan.typeName, attribute)->ops().isList;
        plan.typeName = next;
        plan.description += " " + follow;
        words.erase(words.begin());
    }
    return R();
}

R ServiceWords::resolve(const MerrowService& system, const Plan& plan, std::vector<MerrowService>& services) {
    services = {system};
    for (std::size_t step = 0; step <= plan.walk.size(); ++step) {
        if (!plan.selector.empty() && step == plan.selectAt) {
            MerrowService chosen;
            const R result = select(services, plan.selector, plan.selection, plan.description, chosen);
            if (result.isFailure())
                return result;
            services = {chosen};
        }
        if (step == plan.walk.size())
            break;
        const R result = servicesOf(services, plan.walk[step], services);
        if (result.isFailure())
            return result;
    }
    return R();
}

Merrow::UserAgent::ServiceResolver ServiceWords::resolver(const MerrowService& system) {
    return [system](const std::string& typeName, const std::string& text, MerrowService& service) {
        for (const ServiceWord& word : kServiceWords) {
            if (typeName != word.typeName || std::strlen(word.selector) == 0)
                continue;
            std::vector<std::string> words{word.word, text};
            Plan found;
            std::vector<MerrowService> services;
            R result = plan(words, found);
            if (!result.isFailure())
                result = resolve(system, found, services);
            if (!result.isFailure() && services.size() == 1)
                service = services.front();
            return services.size() == 1 ? R() : result.isFailure() ? result : R(R::UA_E_FAIL);
        }
        return R(R::UA_E_INVALIDARG, "objects of class " + typeName + " cannot be named on the command line");
    };
}

std::string ServiceWords::usage() {
    std::string text;
    for (const ServiceWord& word : kServiceWords) {
        std::string head = word.word;
        if (std::strlen(word.selector) > 0)
            head += std::string(" ") + (std::strcmp(word.selector, "Name") == 0 ? "NAME" : word.selector) + "|#N";
        head.resize(std::max<std::size_t>(head.size() + 1, 30), ' ');
        text += "  " + head + word.about + " (" + word.typeName + ")\n";
    }
    text += "  then, where the class has them:";
    for (const auto& [name, attribute] : kFollowWords)
        text += std::string(" ") + name;
    return text + "\n";
}

} // namespace corvane
