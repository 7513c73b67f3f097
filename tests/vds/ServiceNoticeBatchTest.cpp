// The provider's thread handles the notices one service piled up once, and loses none of
// another service's or of another kind.

#include "vds/objects/ServiceNoticeBatch.h"

#include "UATestDoubles.h"

#include <gtest/gtest.h>

#include <memory>

using Merrow::UserAgent::CorvaneConnectionWeakRef;
using Merrow::UserAgent::MerrowReturnValue;
using Merrow::UserAgent::MerrowService;
using Merrow::UserAgent::ServiceIndication;
using Merrow::UserAgent::UAIndication;
using Merrow::UserAgent::Testing::TestService;

namespace {

MerrowService makeService()
{
    return MerrowService(std::make_shared<TestService>(
        CorvaneConnectionWeakRef(), std::vector<std::unique_ptr<Merrow::UserAgent::Testing::FakeProfile>>{}));
}

ServiceIndication notice(const MerrowService& service, std::int32_t code, const char* deviceId)
{
    return ServiceIndication(service, code, MerrowReturnValue(),
                             Merrow::UserAgent::Testing::makeIndication("array", "CIM_InstModification", deviceId));
}

TEST(ServiceNoticeBatchTest, EachServiceAndKindOnceInTheOrderTheyFirstCame)
{
    const MerrowService volumes = makeService();
    const MerrowService lun = makeService();
    ServiceNoticeBatch batch;
    EXPECT_TRUE(batch.Add(notice(volumes, ServiceIndication::ServiceChanged, "v1")));
    EXPECT_TRUE(batch.Add(notice(lun, ServiceIndication::ServiceChanged, "v2")));
    EXPECT_FALSE(batch.Add(notice(volumes, ServiceIndication::ServiceChanged, "v3")));
    EXPECT_TRUE(batch.Add(notice(lun, ServiceIndication::ServiceRemoved, "v2")));
    EXPECT_TRUE(batch.Add(ServiceIndication())) << "the stop's wake-up notice is kept";

    ASSERT_EQ(batch.Notices().size(), 4u);
    EXPECT_TRUE(batch.Notices()[0].GetService().IsSameService(volumes));
    EXPECT_TRUE(batch.Notices()[1].GetService().IsSameService(lun));
    EXPECT_EQ(batch.Notices()[2].GetCode(), ServiceIndication::ServiceRemoved);
    EXPECT_FALSE(batch.Notices()[3].GetService().IsValid());
    EXPECT_EQ(batch.Taken(), 5u);
}

} // namespace
