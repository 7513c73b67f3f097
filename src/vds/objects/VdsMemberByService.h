// VdsMemberByService<List>: which member of a subsystem's list stands for which facade, so
// that a service notice goes to its member instead of to every member in turn. A re-read of
// a big array sends a notice for each of thousands of facades; asked member by member, each
// notice cost a lock on each of thousands of members.
//
// The index is rebuilt when the list's membership changed or the owner gave a member a new
// facade (the owner counts those, since it alone sets them). A member still checks that a
// notice is its own, so a stale entry can never deliver one to the wrong object.
//
// Threads: used under the owner's (the subsystem's) lock, as the list is; building it takes
// each member's lock in turn, inside the owner's, as offering a notice does.
#pragma once

#include "platform/vds/VdsTypes.h"
#include "user_agent/indications/MerrowServiceImpl.h"

#include <cstdint>
#include <unordered_map>
#include <vector>

template <class List>
class VdsMemberByService {
public:
    // The members whose facade is `service`; `handlesGiven` is the owner's count of facades
    // given to members so far.
    std::vector<VDS_OBJECT_ID> MembersOf(const List& list, const Merrow::UserAgent::MerrowServiceImpl* service,
                                         std::uint64_t handlesGiven)
    {
        if (!m_built || m_listChanges != list.MembershipChanges() || m_handlesGiven != handlesGiven)
            rebuild(list, handlesGiven);
        std::vector<VDS_OBJECT_ID> ids;
        const auto [first, last] = m_byService.equal_range(service);
        for (auto it = first; it != last; ++it)
            ids.push_back(it->second);
        return ids;
    }

private:
    void rebuild(const List& list, std::uint64_t handlesGiven)
    {
        m_byService.clear();
        for (const VDS_OBJECT_ID& id : list.GetAllIds()) {
            if (auto member = list.Lookup(id))
                m_byService.emplace(member->GetService().GetImpl().get(), id);
        }
        m_listChanges = list.MembershipChanges();
        m_handlesGiven = handlesGiven;
        m_built = true;
    }

    std::unordered_multimap<const Merrow::UserAgent::MerrowServiceImpl*, VDS_OBJECT_ID> m_byService;
    std::uint64_t m_listChanges = 0;
    std::uint64_t m_handlesGiven = 0;
    bool m_built = false;
};
