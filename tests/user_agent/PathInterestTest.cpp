// Which of the array's indications reach a service, told by the paths they name: whatever a
// container could react to gets through, and what names nothing it holds or walked does not.

#include "user_agent/indications/PathInterest.h"

#include "IndicationBuilders.h"

#include <gtest/gtest.h>

#include <string>

namespace Merrow::UserAgent {
namespace {

using Testing::makeIndicationInstance;

cim::CIMObjectPath named(const char* className, const std::string& id,
                         const std::string& host = "array") {
    return cim::CIMObjectPath(host, "root/snia", className,
                              {cim::CIMKeyBinding("DeviceID", id, cim::CIMKeyBinding::Type::String)});
}
cim::CIMObjectPath volume(const std::string& id) { return named("CIM_StorageVolume", id); }
cim::CIMObjectPath target(const std::string& id) { return named("CIM_SCSIProtocolController", id); }
cim::CIMObjectPath link(const cim::CIMObjectPath& from, const cim::CIMObjectPath& to) {
    return cim::CIMObjectPath("array", "root/snia", "CIM_ProtocolControllerForUnit",
                              {cim::CIMKeyBinding("Antecedent", from),
                               cim::CIMKeyBinding("Dependent", to)});
}

bool concerns(const PathInterest& interest, const char* indicationClass,
              const cim::CIMObjectPath& path, bool announcesAssociations = true) {
    cim::CIMInstance source(path.getClassName());
    source.setPath(path);
    const UAIndication indication("array", makeIndicationInstance(indicationClass, source));
    return interest.Concerns(PathInterest::Footprint(indication), announcesAssociations);
}

TEST(PathInterestTest, AListHearsOfWhatNamesItsAnchorOrEntriesAndNothingElse) {
    PathInterest list; // the targets of volume A: target T so far
    list.TakePlainCreations();
    list.AddWalked(volume("A"));
    list.AddWalked(target("T"));
    list.Seal();

    EXPECT_TRUE(concerns(list, "CIM_InstCreation", link(target("U"), volume("A"))));
    EXPECT_TRUE(concerns(list, "CIM_InstDeletion", link(target("T"), volume("B"))))
        << "a deleted link may cut off the entry it names";
    EXPECT_TRUE(concerns(list, "CIM_InstModification", named("cim_scsiprotocolcontroller", "T", "other")))
        << "names are compared without host and case";
    EXPECT_TRUE(concerns(list, "CIM_InstDeletion", target("T")));

    EXPECT_FALSE(concerns(list, "CIM_InstCreation", link(target("U"), volume("B"))));
    EXPECT_FALSE(concerns(list, "CIM_InstModification", link(target("T"), volume("B"))))
        << "a changed link changes no entry";
    EXPECT_FALSE(concerns(list, "CIM_InstModification", target("U")));
    EXPECT_FALSE(concerns(list, "CIM_InstCreation", volume("B")));
    EXPECT_TRUE(concerns(list, "CIM_InstCreation", volume("B"), false))
        << "until the array announces links, any new object may join a walked list";
}

TEST(PathInterestTest, AnObjectHearsOfItsOwnChangesAndAnEnumerationOfEveryCreation) {
    PathInterest object;
    object.AddHeld(volume("A"));
    object.Seal();
    EXPECT_TRUE(concerns(object, "CIM_InstModification", volume("A")));
    EXPECT_TRUE(concerns(object, "CIM_InstDeletion", volume("A")));
    EXPECT_FALSE(concerns(object, "CIM_InstCreation", volume("A"), false));
    EXPECT_FALSE(concerns(object, "CIM_InstDeletion", link(target("T"), volume("A"))));

    PathInterest enumerated;
    enumerated.TakeEveryCreation();
    enumerated.Seal();
    EXPECT_TRUE(concerns(enumerated, "CIM_InstCreation", volume("B")));
    EXPECT_FALSE(concerns(enumerated, "CIM_InstModification", volume("B")));

    PathInterest unknown;
    unknown.TakeEverything();
    unknown.Seal();
    EXPECT_TRUE(concerns(unknown, "CIM_InstModification", volume("B")));
}

} // namespace
} // namespace Merrow::UserAgent
