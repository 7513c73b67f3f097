#include "sim/AdministrationMethods.h"

#include "sim/ArrayFailureCodes.h"
#include "sim/EventLog.h"

#include "cim/value/CIMKeyBinding.h"

#include <algorithm>
#include <cctype>
#include <strings.h>

namespace Merrow::Sim {

namespace {

using namespace ArrayFailure;

constexpr const char* kAccountClass = "Merrow_Account";
const char* const kRoles[] = {"Administrator", "Operator", "Monitor"};

bool validUserName(const std::string& name)
{
    return !name.empty() && name.size() <= 32 && std::all_of(name.begin(), name.end(), [](unsigned char c) {
        return std::isalnum(c) || c == '.' || c == '_' || c == '-';
    });
}

bool validPassword(const std::string& password) { return password.size() >= 8 && password.size() <= 32; }

// The role as the array spells it, or empty for an unknown role.
std::string canonicalRole(const std::string& role)
{
    for (const char* known : kRoles) {
        if (::strcasecmp(known, role.c_str()) == 0)
            return known;
    }
    return {};
}

// The account a reference names: the "Name" key of a Merrow_Account path.
SimAccount* accountOf(MethodCall& call, const char* parameter)
{
    const auto path = call.in<cim::CIMObjectPath>(parameter);
    if (!path || ::strcasecmp(path->getClassName().getString().c_str(), kAccountClass) != 0)
        return nullptr;
    const cim::CIMKeyBinding* name = path->findKeyBinding(cim::CIMName("Name"));
    if (name == nullptr)
        return nullptr;
    auto found = call.state().accounts.find(name->getValue());
    return found == call.state().accounts.end() ? nullptr : &found->second;
}

std::size_t administrators(const ArrayState& state)
{
    return static_cast<std::size_t>(std::count_if(state.accounts.begin(), state.accounts.end(),
                                                  [](const auto& item) { return item.second.role == "Administrator"; }));
}

void touchAccount(MethodCall& call, const std::string& accountId)
{
    call.transaction().touch(ModelProjection::group(GroupKind::Account, accountId));
}

} // namespace

std::uint32_t AdministrationMethods::createAccount(MethodCall& call)
{
    const std::string userId = call.in<std::string>("UserID", "");
    const std::string password = call.in<std::string>("Password", "");
    const std::string role = canonicalRole(call.in<std::string>("Role", "Monitor"));
    if (!validUserName(userId) || !validPassword(password) || role.empty())
        return InvalidParameter;
    if (call.state().findAccountByUser(userId) != nullptr)
        return ObjectAlreadyAllocated;
    SimAccount account{call.state().allocateId(IdPrefix::Account), userId, password, role};
    call.out("Account", cim::CIMValue(call.accessPointPath(kAccountClass, call.view().names.systemName(), account.id)));
    touchAccount(call, account.id);
    call.state().accounts.emplace(account.id, std::move(account));
    EventLog::record(call.transaction(), EventSeverity::Information, EventCategory::Security,
                     "User '" + userId + "' (" + role + ") created");
    return Ok;
}

std::uint32_t AdministrationMethods::deleteAccount(MethodCall& call)
{
    SimAccount* account = accountOf(call, "Account");
    if (account == nullptr)
        return ObjectNotFound;
    if (account->role == "Administrator" && administrators(call.state()) == 1)
        return InvalidRequest;
    const std::string userId = account->userId;
    touchAccount(call, account->id);
    call.state().accounts.erase(account->id);
    EventLog::record(call.transaction(), EventSeverity::Information, EventCategory::Security,
                     "User '" + userId + "' deleted");
    return Ok;
}

std::uint32_t AdministrationMethods::setAccountPassword(MethodCall& call)
{
    SimAccount* account = accountOf(call, "Account");
    if (account == nullptr)
        return ObjectNotFound;
    const std::string password = call.in<std::string>("Password", "");
    if (!validPassword(password))
        return InvalidParameter;
    account->password = password;
    EventLog::record(call.transaction(), EventSeverity::Information, EventCategory::Security,
                     "Password of user '" + account->userId + "' changed");
    return Ok;
}

std::uint32_t AdministrationMethods::clearLog(MethodCall& call)
{
    EventLog::clear(call.transaction());
    return Ok;
}

} // namespace Merrow::Sim
