// CVdsObjectListBase<Class, Interface, N>: an owning list of the VDS objects of one kind,
// keyed by GUID, with look-up, deletion and GUID enumeration.
//
// Members are CComObject<Class> objects that implement Interface and CVdsObjectBase<N>;
// the list holds one reference on each. The map's order is that of the GUID bytes in
// memory (Guid.h), which is the output order of every list without an order of its own.
//
// Threads: a list is used under its owner's scoped lock (the provider's for the subsystem
// list, the subsystem's for the others); it has no lock of its own for its map. The list
// is itself lockable (its COM root), which the ordered lists use for GetGuidVector.
#pragma once

#include "platform/com/CComObject.h"
#include "platform/com/CComPtr.h"
#include "platform/vds/VdsErrors.h"
#include "platform/vds/VdsInterfaces.h"
#include "trace/Trace.h"
#include "vds/framework/VDSScopedLock.h"
#include "vds/framework/VdsMethodGuard.h"
#include "vds/framework/VdsOrderKeySource.h"

#include <exception>
#include <map>
#include <concepts>
#include <cstdint>
#include <new>
#include <optional>
#include <string>
#include <type_traits>
#include <vector>

// The id a caller passes when its GUID variable was never written: the fill pattern of
// uninitialised memory in debug builds of the callers' platform.
inline bool IsUninitialisedObjectId(const VDS_OBJECT_ID& id)
{
    return id.Data1 == 0xCCCCCCCCu && id.Data2 == 0xCCCC && id.Data3 == 0xCCCC &&
           id.Data4[0] == 0xCD;
}

// A member that holds objects below it and answers for them by id: a subsystem for all of
// its objects, a LUN for its plexes, a target for its portal groups, a controller for its
// ports.
template <class Class>
concept VdsSubObjectHolder = requires(Class& member, VDS_OBJECT_ID id, VDS_OBJECT_TYPE type,
                                      IUnknown** ppUnk) {
    { member.GetSubObject(id, type, ppUnk) } -> std::same_as<HRESULT>;
};

template <class Class, class Interface, VDS_OBJECT_TYPE N>
class CVdsObjectListBase : public CComObjectRootEx, public Merrow::Trace::TraceAwareClass {
public:
    using Member = CComObject<Class>;

    explicit CVdsObjectListBase(GUID providerGuid = GUID_NULL) : m_ProviderGuid(providerGuid) {}
    ~CVdsObjectListBase() override { DeleteAllListObjects(); }
    CVdsObjectListBase(const CVdsObjectListBase&) = delete;
    CVdsObjectListBase& operator=(const CVdsObjectListBase&) = delete;

    std::string className() const override { return "CVdsObjectListBase"; }
    void description(std::string& text) const override
    {
        text = "type " + std::to_string(N) + ", " + std::to_string(m_Map.size()) + " objects";
    }

    // The provider GUID that objects created by this list are initialised with.
    const GUID& GetProviderGuid() const { return m_ProviderGuid; }
    void SetProviderGuid(const GUID& providerGuid) { m_ProviderGuid = providerGuid; }

    std::size_t Size() const { return m_Map.size(); }
    // A number that changes whenever a member joins or leaves the list.
    std::uint64_t MembershipChanges() const { return m_MembershipChanges; }
    bool IsEmpty() const { return m_Map.empty(); }

    // The member with this id, with a reference for the caller; empty when there is none.
    CComPtr<Member> Lookup(const VDS_OBJECT_ID& id) const
    {
        auto it = m_Map.find(id);
        return it == m_Map.end() ? CComPtr<Member>() : CComPtr<Member>(it->second);
    }

    // E_INVALIDARG for the uninitialised-memory pattern (checked first), E_POINTER for a
    // null ppUnk. A member with this id answers its IUnknown when `type` is N and
    // VDS_E_UNRECOVERABLE_ERROR otherwise. An id that no member has is looked for among
    // the members' own sub-objects (FindInMember: plexes of LUNs, portal groups of
    // targets, ports of controllers, everything of subsystems); the answer of the last
    // member asked is returned, VDS_E_OBJECT_NOT_FOUND when the list is empty.
    HRESULT GetListObject(VDS_OBJECT_ID id, VDS_OBJECT_TYPE type, IUnknown** ppUnk)
    {
        static_assert(std::is_base_of_v<Interface, Class>, "list members implement Interface");
        if (IsUninitialisedObjectId(id))
            return E_INVALIDARG;
        if (ppUnk == nullptr)
            return E_POINTER;
        *ppUnk = nullptr;
        auto it = m_Map.find(id);
        if (it == m_Map.end())
            return AskMembers(id, type, ppUnk);
        if (type != N)
            return VDS_E_UNRECOVERABLE_ERROR;
        return it->second->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(ppUnk));
    }

    // Drops the list's reference and the entry. S_OK for the null GUID without looking;
    // E_FAIL for an id that is not in the list.
    HRESULT DeleteListObject(VDS_OBJECT_ID id)
    {
        if (id == GUID_NULL)
            return S_OK;
        Member* removed = Unlink(id);
        if (removed == nullptr)
            return E_FAIL;
        removed->Release();
        return S_OK;
    }

    // As DeleteListObject, but the list's reference passes to the caller in *ppRemoved
    // (null for the null GUID). E_POINTER for a null ppRemoved.
    HRESULT RemoveListObject(VDS_OBJECT_ID id, Member** ppRemoved)
    {
        if (ppRemoved == nullptr)
            return E_POINTER;
        *ppRemoved = nullptr;
        if (id == GUID_NULL)
            return S_OK;
        *ppRemoved = Unlink(id);
        return *ppRemoved == nullptr ? E_FAIL : S_OK;
    }

    HRESULT DeleteAllListObjects()
    {
        return GuardVdsMethod("CVdsObjectListBase::DeleteAllListObjects", E_UNEXPECTED, [this] {
            while (!m_Map.empty()) {
                Member* first = m_Map.begin()->second;
                m_Map.erase(m_Map.begin());
                ++m_MembershipChanges;
                first->Release();
            }
            return S_OK;
        });
    }

    // Appends the member GUIDs in the list's output order; here the map order.
    virtual HRESULT GetGuidVector(std::vector<VDS_OBJECT_ID>& out)
    {
        try {
            for (const auto& entry : m_Map)
                out.push_back(entry.first);
            return S_OK;
        } catch (const std::bad_alloc&) {
            return E_OUTOFMEMORY;
        }
    }

    // Every member's GUID, in map order. Unlike the output order of the ordered lists, none
    // is left out, so a reconciliation sees members whose keys cannot be read or collide.
    std::vector<VDS_OBJECT_ID> GetAllIds() const
    {
        std::vector<VDS_OBJECT_ID> ids;
        ids.reserve(m_Map.size());
        for (const auto& entry : m_Map)
            ids.push_back(entry.first);
        return ids;
    }

    // Adds `object` under `id` with a reference of the list's own. E_POINTER for a null
    // object, E_INVALIDARG for the null GUID, VDS_E_OBJECT_EXISTS for an id in use.
    HRESULT InsertListObject(const VDS_OBJECT_ID& id, Member* object)
    {
        if (object == nullptr)
            return E_POINTER;
        if (id == GUID_NULL)
            return E_INVALIDARG;
        try {
            if (!m_Map.emplace(id, object).second)
                return VDS_E_OBJECT_EXISTS;
            ++m_MembershipChanges;
        } catch (const std::bad_alloc&) {
            return E_OUTOFMEMORY;
        }
        object->AddRef();
        return S_OK;
    }

    // Creates a member with a new GUID, initialises it with this list's provider GUID and
    // inserts it; *pNewId is the null GUID until everything succeeded. With ppCreated the
    // caller also gets the object, with a reference of its own.
    HRESULT CreateListObject(VDS_OBJECT_ID* pNewId, Member** ppCreated = nullptr)
    {
        if (pNewId == nullptr)
            return E_POINTER;
        *pNewId = GUID_NULL;
        if (ppCreated != nullptr)
            *ppCreated = nullptr;
        Member* raw = nullptr;
        HRESULT hr = Member::CreateInstance(&raw);
        if (FAILED(hr))
            return E_OUTOFMEMORY;
        CComPtr<Member> created(raw);
        VDS_OBJECT_ID newId{};
        hr = CoCreateGuid(&newId);
        if (FAILED(hr))
            return hr;
        // The objects are reached through the null-GUID query, the way the provider finds
        // the implementation behind any interface pointer.
        Class* implementation = nullptr;
        hr = created->QueryInterface(GUID_NULL, reinterpret_cast<void**>(&implementation));
        if (FAILED(hr))
            return hr;
        hr = implementation->Initialize(m_ProviderGuid, newId);
        if (FAILED(hr))
            return hr;
        hr = InsertListObject(newId, created);
        if (FAILED(hr))
            return hr;
        *pNewId = newId;
        if (ppCreated != nullptr)
            *ppCreated = created.Detach();
        return S_OK;
    }

protected:
    // Asked, in map order, for an id the list does not hold itself; S_OK ends the search.
    // A member that holds sub-objects (VdsSubObjectHolder) looks among them; any other
    // member answers E_FAIL.
    virtual HRESULT FindInMember(Member& member, const VDS_OBJECT_ID& id, VDS_OBJECT_TYPE type,
                                 IUnknown** ppUnk)
    {
        if constexpr (VdsSubObjectHolder<Class>)
            return member.GetSubObject(id, type, ppUnk);
        else
            return E_FAIL;
    }

    // GetGuidVector of the ordered lists: the members sorted by their keys, under the
    // list's lock (List is the concrete list, whose lock kind applies). A key that is
    // already taken drops the member that brings it again, so of two members with one
    // key only the first in GUID order appears.
    template <class Key, class List>
    HRESULT OrderedGuidVector(List* self, const VdsOrderRule<Key>& rule,
                              std::vector<VDS_OBJECT_ID>& out)
    {
        try {
            VDSScopedLock listLock(self);
            std::map<Key, VDS_OBJECT_ID> ordered;
            for (const auto& [id, member] : m_Map) {
                std::optional<Key> key = ReadMemberKey(*member, rule);
                if (key && !ordered.emplace(*key, id).second) {
                    MWTRACE(Merrow::Trace::TV_DETAIL, rule.category)
                        << "GetGuidVector: duplicate key, " << id << " left out" << MWENDREC;
                }
            }
            for (const auto& entry : ordered)
                out.push_back(entry.second);
            return S_OK;
        } catch (const std::exception& e) {
            if (rule.traceExceptionText) {
                MWTRACE(Merrow::Trace::TV_ERROR, rule.category)
                    << "GetGuidVector threw an exception.  Error is: = " << e.what() << MWENDREC;
            }
            return E_UNEXPECTED;
        } catch (...) {
            MWTRACE(Merrow::Trace::TV_ERROR, Merrow::Trace::TC_VDS_OBJECT_BASE)
                << " VDS Provider run-time exception caught!" << MWENDREC;
            return E_UNEXPECTED;
        }
    }

    std::map<VDS_OBJECT_ID, Member*> m_Map;
    std::uint64_t m_MembershipChanges = 0;
    GUID m_ProviderGuid;

private:
    HRESULT AskMembers(const VDS_OBJECT_ID& id, VDS_OBJECT_TYPE type, IUnknown** ppUnk)
    {
        HRESULT hr = VDS_E_OBJECT_NOT_FOUND;
        for (const auto& entry : m_Map) {
            CComPtr<Member> member(entry.second);
            hr = FindInMember(*member, id, type, ppUnk);
            if (hr == S_OK)
                break;
        }
        return hr;
    }

    Member* Unlink(const VDS_OBJECT_ID& id)
    {
        auto it = m_Map.find(id);
        if (it == m_Map.end())
            return nullptr;
        Member* member = it->second;
        m_Map.erase(it);
        ++m_MembershipChanges;
        return member;
    }

    // The member's key, the failure key when it cannot be read, nothing when the member is
    // left out.
    template <class Key>
    static std::optional<Key> ReadMemberKey(Member& member, const VdsOrderRule<Key>& rule)
    {
        std::optional<VDSScopedLock> memberLock;
        if (rule.lockEachMember)
            memberLock.emplace(&member);
        Key key{};
        std::string failureText;
        switch (static_cast<VdsOrderKeySource<Key>&>(member).ReadOrderKey(key, failureText)) {
        case VdsOrderKeyOutcome::Read:
            MWTRACE(Merrow::Trace::TV_DETAIL, rule.category)
                << "GetGuidVector: " << member.GetGuid() << " key " << key << MWENDREC;
            return key;
        case VdsOrderKeyOutcome::NoServiceObject:
            if (rule.omitWithoutServiceObject) {
                MWTRACE(Merrow::Trace::TV_DETAIL, rule.category)
                    << "GetGuidVector: " << member.GetGuid() << " has no service object"
                    << MWENDREC;
                return std::nullopt;
            }
            break;
        case VdsOrderKeyOutcome::Failed:
            break;
        }
        MWTRACE(Merrow::Trace::TV_WARNING, rule.category)
            << "GetGuidVector: key of " << member.GetGuid() << " not read: " << failureText
            << MWENDREC;
        return rule.failureKey;
    }
};
