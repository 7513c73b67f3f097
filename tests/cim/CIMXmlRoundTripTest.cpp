// Encode, decode, compare: every value type, every message and result shape.
#include <gtest/gtest.h>

#include <cmath>

#include "CIMXmlResponseBothWays.h"
#include "CIMXmlTestData.h"
#include "cim/xml/CIMXmlCodec.h"
#include "cim/xml/CIMXmlError.h"

namespace cim {
namespace {

using testdata::everyTypeInstance;
using testdata::kAwkwardText;
using testdata::volumePath;

TEST(CIMXmlRoundTrip, InstanceWithEveryType) {
    const CIMInstance original = everyTypeInstance();
    const std::string xml = encodeInstanceElement(original);
    const CIMInstance back = decodeInstanceElement(xml);
    ASSERT_EQ(back.getPropertyCount(), original.getPropertyCount());
    for (size_t i = 0; i < original.getPropertyCount(); ++i) {
        EXPECT_EQ(back.getProperty(i), original.getProperty(i))
            << original.getProperty(i).getName() << ": " << original.getProperty(i).getValue();
    }
    EXPECT_EQ(back, original);
    // Signs of zero and the float denormal survive.
    EXPECT_TRUE(std::signbit(back.getPropertyValue("R64NegZero").get<double>()));
    EXPECT_EQ(back.getPropertyValue("R32").get<float>(), std::numeric_limits<float>::denorm_min());
    EXPECT_EQ(back.getPropertyValue("Str").get<std::string>(), kAwkwardText);
}

TEST(CIMXmlRoundTrip, WireFormOfSpecialValues) {
    const std::string xml = encodeInstanceElement(everyTypeInstance());
    EXPECT_NE(xml.find("&#13;"), std::string::npos) << "CR must survive XML line-end handling";
    EXPECT_NE(xml.find("<VALUE>INF</VALUE><VALUE>-INF</VALUE><VALUE>NaN</VALUE>"), std::string::npos);
    EXPECT_NE(xml.find("<VALUE.NULL/>"), std::string::npos);
    EXPECT_NE(xml.find("<VALUE></VALUE>"), std::string::npos) << "empty string keeps its VALUE";
    EXPECT_NE(xml.find("<PROPERTY NAME=\"NullStr\" TYPE=\"string\"/>"), std::string::npos);
    EXPECT_NE(xml.find("TYPE=\"string\" EmbeddedObject=\"instance\""), std::string::npos);
    EXPECT_NE(xml.find("EmbeddedObject=\"object\""), std::string::npos);
    EXPECT_NE(xml.find("<VALUE>18446744073709551615</VALUE>"), std::string::npos);
    EXPECT_NE(xml.find("<VALUE>-9223372036854775808</VALUE>"), std::string::npos);
    EXPECT_NE(xml.find("<VALUE>0.30000000000000004</VALUE>"), std::string::npos);
    // The embedded instance is escaped XML text, its own embedded instance escaped twice.
    EXPECT_NE(xml.find("&lt;INSTANCE CLASSNAME=\"CIM_Middle\"&gt;"), std::string::npos);
    EXPECT_NE(xml.find("&amp;lt;INSTANCE CLASSNAME=\"CIM_Inner\"&amp;gt;"), std::string::npos);
    EXPECT_EQ(xml.find("VALUE.NAMEDINSTANCE"), std::string::npos);
}

CIMInstance namedVolume(const std::string& id) {
    CIMInstance volume("CIM_StorageVolume");
    volume.addProperty(CIMProperty("DeviceID", CIMValue(id)));
    volume.addProperty(CIMProperty("BlockSize", CIMValue(uint64_t{512})));
    volume.setPath(volumePath(id));
    return volume;
}

CIMResponse intrinsicResponse(CIMReturnKind kind) {
    CIMResponse response;
    response.messageId = "1001";
    response.methodName = CIMName("Anything");
    response.kind = kind;
    return response;
}

std::vector<CIMResponse> everyResponseShape() {
    std::vector<CIMResponse> responses;
    for (const CIMReturnKind kind : {CIMReturnKind::Instances, CIMReturnKind::NamedInstances,
                                     CIMReturnKind::InstancesWithPath}) {
        CIMResponse response = intrinsicResponse(kind);
        response.instances = {namedVolume("v1"), namedVolume("v2")};
        if (kind == CIMReturnKind::Instances) {
            for (CIMInstance& instance : response.instances) {
                instance.setPath(CIMObjectPath());
            }
        }
        if (kind == CIMReturnKind::NamedInstances) {
            for (CIMInstance& instance : response.instances) {
                CIMObjectPath local = instance.getPath();
                local.setHost("");
                local.setNameSpace(CIMNamespaceName());
                instance.setPath(local);
            }
        }
        responses.push_back(response);
    }
    CIMClass cimClass("CIM_Foo", "CIM_Bar");
    cimClass.setPath(CIMObjectPath("//h/root/snia:CIM_Foo"));
    CIMObject instanceObject(namedVolume("v3"));
    {
        CIMResponse response = intrinsicResponse(CIMReturnKind::ObjectsWithPath);
        response.objects = {instanceObject, cimClass};
        responses.push_back(response);
    }
    {
        CIMResponse response = intrinsicResponse(CIMReturnKind::ObjectsWithLocalPath);
        CIMObject local = instanceObject;
        CIMObjectPath path = local.getPath();
        path.setHost("");
        local.setPath(path);
        response.objects = {local};
        responses.push_back(response);
    }
    {
        CIMResponse response = intrinsicResponse(CIMReturnKind::Objects);
        CIMClass pathless("CIM_Foo");
        response.objects = {CIMObject(testdata::everyTypeInstance()), pathless};
        responses.push_back(response);
    }
    {
        CIMResponse response = intrinsicResponse(CIMReturnKind::Classes);
        response.objects = {CIMClass("CIM_A"), CIMClass("CIM_B", "CIM_A")};
        responses.push_back(response);
    }
    {
        CIMResponse response = intrinsicResponse(CIMReturnKind::InstanceNames);
        response.paths = {CIMObjectPath("CIM_X.K=1"), CIMObjectPath("CIM_X.=\"unnamed\""),
                          CIMObjectPath("CIM_X.R=\"root:CIM_Y.K=2\"")};
        responses.push_back(response);
    }
    {
        CIMResponse response = intrinsicResponse(CIMReturnKind::InstancePaths);
        response.paths = {volumePath("p1")};
        responses.push_back(response);
    }
    {
        CIMResponse response = intrinsicResponse(CIMReturnKind::ObjectPaths);
        response.paths = {volumePath("p1"), CIMObjectPath("//h/root/snia:CIM_Class")};
        responses.push_back(response);
    }
    {
        CIMResponse response = intrinsicResponse(CIMReturnKind::ClassNames);
        response.paths = {CIMObjectPath("CIM_A"), CIMObjectPath("CIM_B")};
        responses.push_back(response);
    }
    for (const CIMValue& value : {CIMValue(kAwkwardText), CIMValue(std::vector<std::string>{"a", "b"}),
                                  CIMValue(volumePath("r"))}) {
        CIMResponse response = intrinsicResponse(CIMReturnKind::Value);
        response.value = value;
        responses.push_back(response);
    }
    responses.push_back(intrinsicResponse(CIMReturnKind::Nothing));
    {
        CIMResponse response = intrinsicResponse(CIMReturnKind::Nothing);
        response.error = CIMError{CIMStatusCode::NotFound, kAwkwardText, {namedVolume("e")}};
        response.error->instances.front().setPath(CIMObjectPath());
        responses.push_back(response);
    }
    {
        CIMResponse response;
        response.messageId = "42";
        response.extrinsic = true;
        response.methodName = CIMName("CreateVolume");
        response.returnValue = CIMValue(uint32_t{4096});
        CIMValue references(std::vector<CIMObjectPath>{volumePath("a"), CIMObjectPath()});
        references.setNullElements({false, true});
        response.outParams = {CIMParamValue("Job", CIMValue(CIMObjectPath("root/snia:CIM_ConcreteJob.InstanceID=\"j1\""))),
                              CIMParamValue("Size", CIMValue(uint64_t{1} << 40)),
                              CIMParamValue("Volumes", references),
                              CIMParamValue("Nothing", CIMValue(CIMType::Uint16, false)),
                              CIMParamValue("Shadow", CIMValue(CIMInstance("CIM_S")))};
        responses.push_back(response);
    }
    {
        CIMResponse response;
        response.extrinsic = true;
        response.methodName = CIMName("Ping");
        response.returnValue = CIMValue(CIMType::Uint32, false);
        responses.push_back(response);
    }
    return responses;
}

TEST(CIMXmlRoundTrip, EveryResponseShape) {
    for (const CIMResponse& response : everyResponseShape()) {
        const std::string xml = encodeResponse(response);
        const ResponseOutcome outcome = readResponseBothWays(xml);
        ASSERT_TRUE(outcome.response) << outcome.errorText;
        const CIMResponse& back = *outcome.response;
        EXPECT_EQ(back, response) << xml;
        EXPECT_EQ(encodeResponse(back), xml);
        // Every list is read item by item; single values need the whole tree.
        const bool list = response.kind != CIMReturnKind::Nothing && response.kind != CIMReturnKind::Value &&
                          !response.error && !response.extrinsic;
        EXPECT_EQ(outcome.itemByItem, list) << xml;
    }
}

TEST(CIMXmlRoundTrip, IntrinsicRequest) {
    CIMRequest request;
    request.messageId = "7";
    request.methodName = CIMName("Associators");
    request.nameSpace = CIMNamespaceName("root/snia");
    request.params = {
        CIMParamValue("ObjectName", CIMValue(CIMObjectPath("CIM_StorageVolume.DeviceID=\"v1\""))),
        CIMParamValue("AssocClass", CIMValue("CIM_ElementSettingData")),
        CIMParamValue("ResultClass", CIMValue("CIM_StorageSetting")),
        CIMParamValue("Role", CIMValue("ManagedElement"), false),
        CIMParamValue("IncludeClassOrigin", CIMValue(false)),
        CIMParamValue("PropertyList", CIMValue(std::vector<std::string>{"Name", "Size"}), false),
    };
    const std::string xml = encodeRequest(request);
    EXPECT_NE(xml.find("<IPARAMVALUE NAME=\"AssocClass\"><CLASSNAME NAME=\"CIM_ElementSettingData\"/>"),
              std::string::npos);
    EXPECT_NE(xml.find("<IPARAMVALUE NAME=\"ObjectName\"><INSTANCENAME"), std::string::npos);
    EXPECT_NE(xml.find("<IPARAMVALUE NAME=\"IncludeClassOrigin\"><VALUE>FALSE</VALUE>"), std::string::npos);
    EXPECT_EQ(decodeRequest(xml), request);

    request.methodName = CIMName("ModifyInstance");
    request.params = {CIMParamValue("ModifiedInstance", CIMValue(namedVolume("v9"))),
                      CIMParamValue("PropertyList", CIMValue(std::vector<std::string>{}), false)};
    CIMRequest expected = request;
    // VALUE.NAMEDINSTANCE carries class and keys only.
    CIMObjectPath localPath = volumePath("v9");
    localPath.setHost("");
    localPath.setNameSpace(CIMNamespaceName());
    CIMInstance localInstance = namedVolume("v9");
    localInstance.setPath(localPath);
    expected.params[0] = CIMParamValue("ModifiedInstance", CIMValue(localInstance));
    const std::string modify = encodeRequest(request);
    EXPECT_NE(modify.find("<IPARAMVALUE NAME=\"ModifiedInstance\"><VALUE.NAMEDINSTANCE>"), std::string::npos);
    EXPECT_EQ(decodeRequest(modify), expected);

    request.methodName = CIMName("CreateInstance");
    request.params = {CIMParamValue("NewInstance", CIMValue(namedVolume("v9")))};
    const std::string create = encodeRequest(request);
    EXPECT_NE(create.find("<IPARAMVALUE NAME=\"NewInstance\"><INSTANCE "), std::string::npos);
    const CIMRequest created = decodeRequest(create);
    EXPECT_TRUE(created.findParam("newinstance")->getValue().get<CIMInstance>().getPath().isNull());
}

TEST(CIMXmlRoundTrip, ExtrinsicRequestWithEveryParameterKind) {
    CIMRequest request;
    request.messageId = "8";
    request.extrinsic = true;
    request.methodName = CIMName("CreateVolume");
    request.nameSpace = CIMNamespaceName("root/snia");
    request.target = CIMObjectPath("root/snia:Merrow_StorageConfigurationService.Name=\"scs\",SystemName=\"a\"");
    CIMValue references(std::vector<CIMObjectPath>{volumePath("d1"), CIMObjectPath()});
    references.setNullElements({false, true});
    CIMInstance goal("CIM_StorageSetting");
    goal.addProperty(CIMProperty("Text", CIMValue(kAwkwardText)));
    goal.setPath(CIMObjectPath("CIM_StorageSetting.InstanceID=\"g\""));
    request.params = {
        CIMParamValue("ElementName", CIMValue(kAwkwardText)),
        CIMParamValue("Size", CIMValue(std::numeric_limits<uint64_t>::max())),
        CIMParamValue("StripeWidth", CIMValue(uint8_t{4})),
        CIMParamValue("Pool", CIMValue(volumePath("pool"))),
        CIMParamValue("StorageDevice", references),
        CIMParamValue("Accesses", CIMValue(std::vector<uint16_t>{2, 3})),
        CIMParamValue("TimeoutPeriod", CIMValue(CIMDateTime::interval(0, 0, 5, 0))),
        CIMParamValue("Restart", CIMValue(true)),
        CIMParamValue("Absent", CIMValue(CIMType::Uint32, false)),
        CIMParamValue("Goal", CIMValue(goal)),
        CIMParamValue("Goals", CIMValue(std::vector<CIMObject>{CIMObject(goal)})),
    };
    const std::string xml = encodeRequest(request);
    EXPECT_NE(xml.find("<METHODCALL NAME=\"CreateVolume\"><LOCALINSTANCEPATH>"), std::string::npos);
    EXPECT_NE(xml.find("PARAMTYPE=\"reference\"><VALUE.REFARRAY>"), std::string::npos);
    EXPECT_NE(xml.find("<PARAMVALUE NAME=\"Goal\" PARAMTYPE=\"string\" EmbeddedObject=\"instance\"><VALUE>&lt;INSTANCE"),
              std::string::npos);
    EXPECT_EQ(xml.find("NAMEDINSTANCE"), std::string::npos) << "embedded instances carry no path";

    CIMRequest expected = request;
    CIMInstance pathless = goal;
    pathless.setPath(CIMObjectPath());
    expected.params[9] = CIMParamValue("Goal", CIMValue(pathless));
    expected.params[10] = CIMParamValue("Goals", CIMValue(std::vector<CIMObject>{CIMObject(pathless)}));
    EXPECT_EQ(decodeRequest(xml), expected);

    request.target = CIMObjectPath("root/snia:CIM_ClassMethods");
    request.params.clear();
    const std::string onClass = encodeRequest(request);
    EXPECT_NE(onClass.find("<LOCALCLASSPATH>"), std::string::npos);
    EXPECT_EQ(decodeRequest(onClass), request);
}

TEST(CIMXmlRoundTrip, ExportMessages) {
    CIMInstance indication("CIM_InstModification");
    indication.addProperty(CIMProperty("IndicationIdentifier", CIMValue("17")));
    indication.addProperty(CIMProperty("SourceInstanceModelPath", CIMValue(volumePath("v1").toString())));
    indication.addProperty(CIMProperty("SourceInstance", CIMValue(CIMObject(everyTypeInstance()))));
    indication.addProperty(CIMProperty("PreviousInstance", CIMValue(CIMType::Object, false)));
    const CIMExportRequest request = CIMExportRequest::indication("99", indication);
    const std::string xml = encodeExportRequest(request);
    const CIMExportRequest back = decodeExportRequest(xml);
    EXPECT_EQ(back, request);
    ASSERT_NE(back.findIndication(), nullptr);
    EXPECT_EQ(*back.findIndication(), indication);

    CIMExportResponse ok;
    ok.messageId = back.messageId;
    const std::string okXml = encodeExportResponse(ok);
    EXPECT_NE(okXml.find("<MESSAGE ID=\"99\" PROTOCOLVERSION=\"1.0\">"), std::string::npos);
    EXPECT_EQ(decodeExportResponse(okXml), ok);

    CIMExportResponse failed = ok;
    failed.error = CIMError{CIMStatusCode::NotSupported, "no such export method", {}};
    EXPECT_EQ(decodeExportResponse(encodeExportResponse(failed)), failed);
}

TEST(CIMXmlRoundTrip, EncoderRefusesWhatXmlCannotCarry) {
    const char* badTexts[] = {"a\x01z", "bell\a", "del\x7F", "c1\xC2\x85", "broken\xC3",
                              "overlong\xC0\xAF", "surrogate\xED\xA0\x80", "nonchar\xEF\xBF\xBF"};
    for (const char* text : badTexts) {
        CIMInstance instance("CIM_X");
        instance.addProperty(CIMProperty("S", CIMValue(text)));
        EXPECT_THROW(encodeInstanceElement(instance), CIMXmlError) << text;
        CIMRequest request;
        request.messageId = text;
        request.methodName = CIMName("GetInstance");
        request.nameSpace = CIMNamespaceName("root");
        EXPECT_THROW(encodeRequest(request), CIMXmlError) << text;
    }
    CIMInstance referenceArray("CIM_X");
    referenceArray.addProperty(CIMProperty("Refs", CIMValue(std::vector<CIMObjectPath>{volumePath("a")})));
    EXPECT_THROW(encodeInstanceElement(referenceArray), CIMXmlError);

    CIMResponse noNamespace = intrinsicResponse(CIMReturnKind::ObjectsWithPath);
    noNamespace.objects = {CIMObject(CIMInstance("CIM_X"))};
    EXPECT_THROW(encodeResponse(noNamespace), CIMXmlError);
}

} // namespace
} // namespace cim
