#include "ArrayCommands.h"

#include "CommandContext.h"
#include "CommandError.h"
#include "CommandTable.h"
#include "OwnedBstr.h"
#include "PasswordSource.h"
#include "Session.h"
#include "TextTable.h"
#include "VdsText.h"

#include <ostream>

namespace orvraid {
namespace {

struct ManagedArray {
    std::string host;
    std::string user;
    LONG status = 0;
};

// Far more arrays than a provider manages; ends the walk should a provider never answer
// "past the end".
constexpr LONG kMostArrays = 100000;

std::vector<ManagedArray> readArrays(IOrvVdsProviderPrivate* list)
{
    std::vector<ManagedArray> arrays;
    for (LONG index = 0; index < kMostArrays; ++index) {
        OwnedBstr host;
        OwnedBstr user;
        OwnedBstr password(OwnedBstr::Kind::Secret);
        LONG status = 0;
        BOOL valid = FALSE;
        throwIfFailed(list->GetCorvaneInfo(index, host.put(), user.put(), password.put(), &status, &valid),
                      "read the list of managed arrays");
        if (!valid)
            break;
        arrays.push_back({host.utf8(), user.utf8(), status});
    }
    return arrays;
}

const ManagedArray* findArray(const std::vector<ManagedArray>& arrays, const std::string& host)
{
    for (const ManagedArray& array : arrays) {
        if (array.host == host)
            return &array;
    }
    return nullptr;
}

std::string requiredText(const CommandArguments& arguments, const char* name)
{
    std::string value = arguments.parameter(name).value_or("");
    if (value.empty())
        throw CommandError::syntax(std::string("The parameter ") + name + "= needs a value.");
    return value;
}

std::string passwordFor(CommandContext& context, const CommandArguments& arguments,
                        const std::string& user, const std::string& host)
{
    if (std::optional<std::string> given = arguments.parameter("password"))
        return *given;
    std::optional<std::string> read = context.passwords.read("Password for " + user + " on " + host + ": ");
    if (!read)
        throw CommandError::syntax(std::string("No password: give password=, set ") +
                                   PasswordSource::kVariable + " or run orvraid at a terminal.");
    return *read;
}

void addArray(CommandContext& context, const CommandArguments& arguments)
{
    const std::string host = requiredText(arguments, "host");
    const std::string user = requiredText(arguments, "user");
    const std::string password = passwordFor(context, arguments, user, host);
    CComPtr<IOrvVdsProviderPrivate> list = context.session.arrayList();
    const OwnedBstr hostText(host);
    const OwnedBstr userText(user);
    const OwnedBstr passwordText(password, OwnedBstr::Kind::Secret);
    throwIfFailed(list->SetCorvaneInfo(hostText.get(), userText.get(), passwordText.get()),
                  "add the array at " + host);
    const std::vector<ManagedArray> arrays = readArrays(list.get());
    const ManagedArray* added = findArray(arrays, host);
    if (added == nullptr)
        throw CommandError::vdsCall("add the array at " + host, E_FAIL);
    context.out << "The provider manages the array at " << host << " as " << user << " ("
                << arrayStatusText(added->status) << ").\n";
}

void removeArray(CommandContext& context, const CommandArguments& arguments)
{
    const std::string host = requiredText(arguments, "host");
    CComPtr<IOrvVdsProviderPrivate> list = context.session.arrayList();
    if (findArray(readArrays(list.get()), host) == nullptr)
        throw CommandError::selection("The provider manages no array at " + host + ".");
    const OwnedBstr hostText(host);
    throwIfFailed(list->RemoveCorvaneInfo(hostText.get()), "remove the array at " + host);
    // The provider answers success even when it kept the array (no subsystem carried it).
    if (findArray(readArrays(list.get()), host) != nullptr)
        throw CommandError::vdsCall("remove the array at " + host, E_FAIL);
    context.out << "The provider no longer manages the array at " << host << ".\n";
}

void listArrays(CommandContext& context, const CommandArguments&)
{
    const std::vector<ManagedArray> arrays = readArrays(context.session.arrayList().get());
    if (arrays.empty()) {
        context.out << "There are no managed arrays.\n";
        return;
    }
    TextTable table({{"Array ###"}, {"Host"}, {"User"}, {"Connection"}});
    for (std::size_t i = 0; i < arrays.size(); ++i)
        table.addRow({"Array " + std::to_string(i), arrays[i].host, arrays[i].user,
                      arrayStatusText(arrays[i].status)});
    table.print(context.out);
}

}  // namespace

void ArrayCommands::addTo(CommandTable& table)
{
    const Keyword array{"array"};
    table.add({{{"add"}, array}, "host=<host> user=<user> [password=<password>]",
               "Has the provider manage the array at host (or changes its log-in).",
               {{{"host", true}, {"user", true}, {"password", false}}, 0}, addArray});
    table.add({{{"remove"}, array}, "host=<host>", "Has the provider stop managing the array at host.",
               {{{"host", true}}, 0}, removeArray});
    table.add({{{"list"}, {"arrays"}}, "", "Lists the arrays the provider manages and their connection.",
               {}, listArrays});
}

}  // namespace orvraid
