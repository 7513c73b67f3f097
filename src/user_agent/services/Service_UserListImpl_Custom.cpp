#include "user_agent/services/Service_UserListImpl.h"

#include "user_agent/services/Service_User.h"
#include "user_agent/services/Service_UserImpl.h"

namespace Merrow::UserAgent {

MerrowReturnValue Service_UserListImpl::AddUser(const std::string& name,
                                                const std::string& password,
                                                const std::string& role, Service_User& user) {
    ScopedLock lock(*this);
    cim::CIMObjectPath created;
    const MerrowReturnValue result = m_UserList.AddUser(name, password, role, created);
    return result.isFailure() ? result : MakeService(created, user);
}

} // namespace Merrow::UserAgent
