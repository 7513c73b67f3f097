#include "ControllerCommands.h"

#include "CommandTable.h"
#include "DetailList.h"
#include "ObjectFocus.h"
#include "Session.h"
#include "TextTable.h"
#include "VdsObjects.h"
#include "VdsProperties.h"
#include "VdsText.h"

#include "platform/com/Guid.h"
#include "platform/com/TaskMemory.h"
#include "platform/com/TextConversion.h"

#include <memory>

namespace orvraid {
namespace {

VDS_OBJECT_ID controllerId(IVdsController* controller)
{
    VDS_CONTROLLER_PROP prop{};
    throwIfFailed(controller->GetProperties(&prop), "read a controller's properties");
    CoTaskMemFree(prop.pwszFriendlyName);
    CoTaskMemFree(prop.pwszIdentification);
    return prop.id;
}

std::vector<CComPtr<IVdsController>> listControllers(CommandContext& context)
{
    CComPtr<IVdsSubSystem> subsystem = context.session.selectedSubsystem();
    return queryObjects<IVdsController>([&](IEnumVdsObject** e) { return subsystem->QueryControllers(e); },
                                        "list the controllers");
}

std::string takeText(LPWSTR text)
{
    std::string out = text == nullptr ? std::string() : orv::platform::Utf16ToUtf8(text);
    CoTaskMemFree(text);
    return out;
}

void printPorts(CommandContext& context, IVdsController* controller, int count)
{
    TextTable table({{"Port ###"}, {"Name"}, {"Number"}, {"Status"}});
    for (SHORT i = 0; i < count; ++i) {
        VDS_PORT_PROP port{};
        throwIfFailed(controller->GetPortProperties(i, &port), "read the controller's ports");
        table.addRow({"Port " + std::to_string(i), takeText(port.pwszFriendlyName),
                      takeText(port.pwszIdentification), statusText(port.status)});
    }
    context.out << "\n";
    table.print(context.out);
}

void detailController(ObjectFocus<IVdsController>& focus, CommandContext& context)
{
    CComPtr<IVdsController> controller = focus.selected(context);
    const ControllerProperties p = readProperties(controller.get());
    DetailList details;
    details.add("Name", p.name);
    details.add("Id", GuidToString(controllerId(controller.get())));
    details.add("Identification", p.identification);
    details.add("Status", statusText(p.status));
    details.add("Health", healthText(p.health));
    details.add("Ports", std::to_string(p.ports));
    details.print(context.out);
    printPorts(context, controller.get(), p.ports);
}

void setControllerStatus(ObjectFocus<IVdsController>& focus, CommandContext& context, VDS_CONTROLLER_STATUS status)
{
    CComPtr<IVdsController> controller = focus.selected(context);
    const bool online = status == VDS_CS_ONLINE;
    throwIfFailed(controller->SetStatus(status), online ? "bring the controller online"
                                                        : "take the controller offline");
    context.out << (online ? "The controller is online.\n" : "The controller is shutting down.\n");
}

void resetController(ObjectFocus<IVdsController>& focus, CommandContext& context)
{
    CComPtr<IVdsController> controller = focus.selected(context);
    throwIfFailed(controller->Reset(), "reset the controller");
    context.out << "The controller is restarting; the array is back once it has started.\n";
}

}  // namespace

void ControllerCommands::addTo(CommandTable& table)
{
    auto focus = std::make_shared<ObjectFocus<IVdsController>>("controller", listControllers, controllerId);
    const Keyword controller{"controller"};
    table.add({{{"select"}, controller}, "[<n>]",
               "Selects controller n of the selected subsystem, or shows the selected controller.", {{}, 1},
               [focus](CommandContext& c, const CommandArguments& a) { focus->select(c, a); }});
    table.add({{{"detail"}, controller}, "", "Shows the properties and ports of the selected controller.", {},
               [focus](CommandContext& c, const CommandArguments&) { detailController(*focus, c); }});
    table.add({{{"online"}, controller}, "", "Brings the selected controller online.", {},
               [focus](CommandContext& c, const CommandArguments&) { setControllerStatus(*focus, c, VDS_CS_ONLINE); }});
    table.add({{{"offline"}, controller}, "", "Shuts the selected controller down.", {},
               [focus](CommandContext& c, const CommandArguments&) { setControllerStatus(*focus, c, VDS_CS_OFFLINE); }});
    table.add({{{"reset"}, controller}, "", "Restarts the selected controller.", {},
               [focus](CommandContext& c, const CommandArguments&) { resetController(*focus, c); }});
}

}  // namespace orvraid
