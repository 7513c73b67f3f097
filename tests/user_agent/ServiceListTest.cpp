// The facade steps that make handles from object paths: a list keeps the order of the
// objects and skips those whose service cannot be used, a single getter insists on exactly
// one object and leaves the handle alone when it cannot give one.

#include "cim/value/CIMInstance.h"
#include "cim/value/CIMObject.h"
#include "user_agent/services/ServiceImplBase.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace Merrow::UserAgent {
namespace {

using R = MerrowReturnValue;

// A service whose Init fails for the volume "broken" and which is removed at once for the
// volume "gone", as one is when the array deletes its root while the handle is being made.
class FakeImpl : public MerrowServiceImpl {
public:
    FakeImpl(const CorvaneConnectionWeakRef& connection, cim::CIMObjectPath path)
        : MerrowServiceImpl("FakeService", connection), m_path(std::move(path)) {}
    R Init() {
        const std::string id = m_path.findKeyBinding("DeviceID")->getValue();
        if (id == "broken")
            return R(R::UA_E_NOTCONNECTED);
        SetServiceRemoved(id == "gone");
        return R();
    }
    void SeedRootObject(const cim::CIMObject& object) { m_seeded = !object.getPath().isNull(); }

    cim::CIMObjectPath m_path;
    bool m_seeded = false;
};

class FakeHandle : public MerrowService {
public:
    using Impl = FakeImpl;
    FakeHandle() = default;
    explicit FakeHandle(std::shared_ptr<FakeImpl> impl)
        : MerrowService(std::shared_ptr<MerrowServiceImpl>(impl)), m_impl(std::move(impl)) {}
    std::string id() const { return m_impl->m_path.findKeyBinding("DeviceID")->getValue(); }
    bool seeded() const { return m_impl->m_seeded; }

private:
    std::shared_ptr<FakeImpl> m_impl;
};

cim::CIMObject volume(const std::string& id) {
    const cim::CIMObjectPath path(
        "", cim::CIMNamespaceName("root/snia"), cim::CIMName("CIM_StorageVolume"),
        {cim::CIMKeyBinding(cim::CIMName("DeviceID"), id, cim::CIMKeyBinding::Type::String)});
    cim::CIMInstance instance(cim::CIMName("CIM_StorageVolume"));
    instance.setPath(path);
    return cim::CIMObject(instance);
}

auto fetcher(std::vector<std::string> ids, R result) {
    return [ids, result](std::vector<cim::CIMObject>& objects) {
        for (const std::string& id : ids)
            objects.push_back(volume(id));
        return result;
    };
}

// A profile list read object by object, as facades' list getters read one.
auto visitor(std::vector<std::string> ids, R result) {
    return [ids, result](const std::function<void(const cim::CIMObject&)>& each) {
        for (const std::string& id : ids)
            each(volume(id));
        return result;
    };
}

class Lister : public ServiceImplBase {
public:
    Lister() : ServiceImplBase("Lister", CorvaneConnectionWeakRef(), volume("list").getPath()) {}

    R list(const std::vector<std::string>& ids, std::vector<FakeHandle>& handles, R fetchResult = R()) {
        return MakeServiceList("m_Fake.Get_Volumes_List()", "FakeHandle", visitor(ids, fetchResult),
                               handles);
    }
    R single(const std::vector<std::string>& ids, FakeHandle& handle) {
        return MakeSingleService("m_Fake.Get_Volumes_List()", fetcher(ids, R()), handle);
    }

};

std::vector<std::string> idsOf(const std::vector<FakeHandle>& handles) {
    std::vector<std::string> ids;
    for (const FakeHandle& handle : handles)
        ids.push_back(handle.id());
    return ids;
}

TEST(ServiceListTest, SkipsRemovedAndUninitialisableElementsAndKeepsTheOrder) {
    Lister lister;
    std::vector<FakeHandle> handles;
    EXPECT_EQ(lister.list({"v3", "gone", "v1", "broken", "v2"}, handles).getCode(), R::UA_S_OK);
    EXPECT_EQ(idsOf(handles), (std::vector<std::string>{"v3", "v1", "v2"}));
    for (const FakeHandle& handle : handles) {
        EXPECT_TRUE(handle.seeded()) << "the listed instance should spare a fetch";
        EXPECT_FALSE(handle.IsServiceRemoved());
    }
}

TEST(ServiceListTest, AFailedListCallIsReturnedAsIsAndAddsNothing) {
    Lister lister;
    std::vector<FakeHandle> handles;
    EXPECT_EQ(lister.list({"v1"}, handles, R(R::UA_E_FAIL)).getCode(), R::UA_E_FAIL);
    EXPECT_TRUE(handles.empty());
}

TEST(ServiceListTest, SingleGetterWantsExactlyOneUsableObject) {
    Lister lister;
    FakeHandle handle;
    EXPECT_EQ(lister.single({}, handle).getCode(), R::UA_E_UNEXPECTED);
    EXPECT_FALSE(handle.IsValid());
    EXPECT_EQ(lister.single({"gone"}, handle).getCode(), R::UA_E_SERVICE_REMOVED);
    EXPECT_FALSE(handle.IsValid()) << "a removed service must not reach the caller";
    EXPECT_EQ(lister.single({"broken"}, handle).getCode(), R::UA_E_NOTCONNECTED);
    EXPECT_FALSE(handle.IsValid());
    // The first object counts when the array reports more than one.
    EXPECT_EQ(lister.single({"v7", "v8"}, handle).getCode(), R::UA_S_OK);
    ASSERT_TRUE(handle.IsValid());
    EXPECT_EQ(handle.id(), "v7");
}

} // namespace
} // namespace Merrow::UserAgent
