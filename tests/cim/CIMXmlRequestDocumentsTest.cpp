// Hand-written requests and export answers, shaped like what WBEM clients and indication
// senders put on the wire; the simulated array and the listener read these.
#include <gtest/gtest.h>

#include "cim/value/CIMPropertyList.h"
#include "cim/xml/CIMXmlCodec.h"
#include "cim/xml/CIMXmlError.h"

namespace cim {
namespace {

std::string request(const std::string& call) {
    return "<?xml version=\"1.0\" encoding=\"utf-8\" ?>\n"
           "<CIM CIMVERSION=\"2.0\" DTDVERSION=\"2.0\">\n<MESSAGE ID=\"4711\" PROTOCOLVERSION=\"1.0\">\n"
           "<SIMPLEREQ>\n" + call + "\n</SIMPLEREQ>\n</MESSAGE>\n</CIM>\n";
}

const char* const kRootSnia =
    "<LOCALNAMESPACEPATH><NAMESPACE NAME=\"root\"/><NAMESPACE NAME=\"snia\"/></LOCALNAMESPACEPATH>";

TEST(CIMXmlRequestDocuments, EnumerateInstancesWithItsParameters) {
    const CIMRequest decoded = decodeRequest(request(std::string(
        "<IMETHODCALL NAME=\"EnumerateInstances\">") + kRootSnia + R"(
          <IPARAMVALUE NAME="ClassName"><CLASSNAME NAME="CIM_StorageVolume"/></IPARAMVALUE>
          <IPARAMVALUE NAME="DeepInheritance"><VALUE>TRUE</VALUE></IPARAMVALUE>
          <IPARAMVALUE NAME="LocalOnly"><VALUE>false</VALUE></IPARAMVALUE>
          <IPARAMVALUE NAME="IncludeQualifiers"/>
          <IPARAMVALUE NAME="PropertyList"><VALUE.ARRAY><VALUE>DeviceID</VALUE><VALUE>BlockSize</VALUE></VALUE.ARRAY></IPARAMVALUE>
        </IMETHODCALL>)"));
    EXPECT_EQ(decoded.messageId, "4711");
    EXPECT_FALSE(decoded.extrinsic);
    EXPECT_EQ(decoded.methodName, CIMName("EnumerateInstances"));
    EXPECT_EQ(decoded.nameSpace, CIMNamespaceName("root/snia"));
    ASSERT_EQ(decoded.params.size(), 5u);
    EXPECT_EQ(decoded.findParam("classname")->getValue(), CIMValue("CIM_StorageVolume"));
    EXPECT_EQ(decoded.findParam("DeepInheritance")->getValue(), CIMValue(true));
    EXPECT_EQ(decoded.findParam("LocalOnly")->getValue(), CIMValue(false));
    EXPECT_TRUE(decoded.findParam("IncludeQualifiers")->getValue().isNull());
    const CIMPropertyList list = CIMPropertyList::fromValue(decoded.findParam("PropertyList")->getValue());
    EXPECT_EQ(list, CIMPropertyList(std::vector<CIMName>{"DeviceID", "BlockSize"}));
    EXPECT_EQ(decoded.findParam("ResultClass"), nullptr);
}

TEST(CIMXmlRequestDocuments, InstanceAndAssociationRequests) {
    const CIMRequest get = decodeRequest(request(std::string("<IMETHODCALL NAME=\"GetInstance\">") + kRootSnia + R"(
          <IPARAMVALUE NAME="InstanceName"><INSTANCENAME CLASSNAME="CIM_StorageVolume">
            <KEYBINDING NAME="DeviceID"><KEYVALUE VALUETYPE="string">v1</KEYVALUE></KEYBINDING>
          </INSTANCENAME></IPARAMVALUE></IMETHODCALL>)"));
    EXPECT_EQ(get.findParam("InstanceName")->getValue(),
              CIMValue(CIMObjectPath("CIM_StorageVolume.DeviceID=\"v1\"")));

    const CIMRequest associators = decodeRequest(request(std::string("<IMETHODCALL NAME=\"Associators\">") +
                                                         "<LOCALNAMESPACEPATH><NAMESPACE NAME=\"root/snia\"/></LOCALNAMESPACEPATH>" + R"(
          <IPARAMVALUE NAME="ObjectName"><CLASSNAME NAME="CIM_ComputerSystem"/></IPARAMVALUE>
          <IPARAMVALUE NAME="AssocClass"><CLASSNAME NAME="CIM_ComponentCS"/></IPARAMVALUE>
          <IPARAMVALUE NAME="Role"><VALUE>GroupComponent</VALUE></IPARAMVALUE>
        </IMETHODCALL>)"));
    EXPECT_EQ(associators.nameSpace, CIMNamespaceName("root/snia"));
    // An ObjectName CLASSNAME is a class path, unlike the class-name parameters.
    EXPECT_EQ(associators.findParam("ObjectName")->getValue(), CIMValue(CIMObjectPath("CIM_ComputerSystem")));
    EXPECT_EQ(associators.findParam("AssocClass")->getValue(), CIMValue("CIM_ComponentCS"));
    EXPECT_EQ(associators.findParam("Role")->getValue(), CIMValue("GroupComponent"));
    EXPECT_FALSE(associators.findParam("Role")->isTyped());

    const CIMRequest modify = decodeRequest(request(std::string("<IMETHODCALL NAME=\"ModifyInstance\">") + kRootSnia + R"(
          <IPARAMVALUE NAME="ModifiedInstance"><VALUE.NAMEDINSTANCE>
            <INSTANCENAME CLASSNAME="CIM_X"><KEYBINDING NAME="K"><KEYVALUE VALUETYPE="numeric">7</KEYVALUE></KEYBINDING></INSTANCENAME>
            <INSTANCE CLASSNAME="CIM_X"><PROPERTY NAME="K" TYPE="uint32"><VALUE>7</VALUE></PROPERTY></INSTANCE>
          </VALUE.NAMEDINSTANCE></IPARAMVALUE>
          <IPARAMVALUE NAME="PropertyList"><VALUE.ARRAY/></IPARAMVALUE>
        </IMETHODCALL>)"));
    const CIMInstance modified = modify.findParam("ModifiedInstance")->getValue().get<CIMInstance>();
    EXPECT_EQ(modified.getPath(), CIMObjectPath("CIM_X.K=7"));
    EXPECT_EQ(CIMPropertyList::fromValue(modify.findParam("PropertyList")->getValue()).size(), 0u);
    EXPECT_FALSE(CIMPropertyList::fromValue(modify.findParam("PropertyList")->getValue()).isNull());
}

TEST(CIMXmlRequestDocuments, InvokeMethodOnAnInstance) {
    const CIMRequest call = decodeRequest(request(R"(
      <METHODCALL NAME="CreateVolume">
        <LOCALINSTANCEPATH>
          <LOCALNAMESPACEPATH><NAMESPACE NAME="root"/><NAMESPACE NAME="snia"/></LOCALNAMESPACEPATH>
          <INSTANCENAME CLASSNAME="Merrow_StorageConfigurationService">
            <KEYBINDING NAME="Name"><KEYVALUE>scs</KEYVALUE></KEYBINDING>
          </INSTANCENAME>
        </LOCALINSTANCEPATH>
        <PARAMVALUE NAME="ElementName" PARAMTYPE="string"><VALUE>lun 1</VALUE></PARAMVALUE>
        <PARAMVALUE NAME="Size" PARAMTYPE="uint64"><VALUE>1073741824</VALUE></PARAMVALUE>
        <PARAMVALUE NAME="StripeWidth"><VALUE>4</VALUE></PARAMVALUE>
        <PARAMVALUE NAME="Pool" PARAMTYPE="reference"><VALUE.REFERENCE><INSTANCENAME CLASSNAME="CIM_StoragePool"><KEYBINDING NAME="InstanceID"><KEYVALUE>p</KEYVALUE></KEYBINDING></INSTANCENAME></VALUE.REFERENCE></PARAMVALUE>
        <PARAMVALUE NAME="StorageDevice" PARAMTYPE="reference"><VALUE.REFARRAY/></PARAMVALUE>
        <PARAMVALUE NAME="Goal" PARAMTYPE="string" EmbeddedObject="instance"><VALUE>&lt;INSTANCE CLASSNAME="CIM_StorageSetting"/&gt;</VALUE></PARAMVALUE>
        <PARAMVALUE NAME="Direct"><VALUE.NAMEDINSTANCE><INSTANCENAME CLASSNAME="CIM_Y"/><INSTANCE CLASSNAME="CIM_Y"/></VALUE.NAMEDINSTANCE></PARAMVALUE>
      </METHODCALL>)"));
    EXPECT_TRUE(call.extrinsic);
    EXPECT_EQ(call.target, CIMObjectPath("root/snia:Merrow_StorageConfigurationService.Name=\"scs\""));
    EXPECT_EQ(call.nameSpace, CIMNamespaceName("root/snia"));
    EXPECT_EQ(call.findParam("Size")->getValue(), CIMValue(uint64_t{1073741824}));
    EXPECT_EQ(CIMValue::fromText(CIMType::Uint8, call.findParam("StripeWidth")->getValue().get<std::string>()),
              CIMValue(uint8_t{4}));
    EXPECT_EQ(call.findParam("Pool")->getValue().get<CIMObjectPath>().getClassName(), CIMName("CIM_StoragePool"));
    EXPECT_EQ(call.findParam("StorageDevice")->getValue(), CIMValue(std::vector<CIMObjectPath>{}));
    EXPECT_EQ(call.findParam("Goal")->getValue().get<CIMInstance>().getClassName(), CIMName("CIM_StorageSetting"));
    // A named instance passed as a parameter value loses its path: values have none.
    EXPECT_TRUE(call.findParam("Direct")->getValue().get<CIMInstance>().getPath().isNull());
}

TEST(CIMXmlRequestDocuments, RefusesParametersThatDoNotFit) {
    const std::string badBoolean = request(std::string("<IMETHODCALL NAME=\"GetInstance\">") + kRootSnia +
                                           "<IPARAMVALUE NAME=\"LocalOnly\"><VALUE>maybe</VALUE></IPARAMVALUE></IMETHODCALL>");
    EXPECT_THROW(decodeRequest(badBoolean), CIMXmlError);
    const std::string twoValues = request(std::string("<IMETHODCALL NAME=\"GetInstance\">") + kRootSnia +
                                          "<IPARAMVALUE NAME=\"Role\"><VALUE>a</VALUE><VALUE>b</VALUE></IPARAMVALUE></IMETHODCALL>");
    EXPECT_THROW(decodeRequest(twoValues), CIMXmlError);

    CIMRequest wrongShape;
    wrongShape.methodName = CIMName("GetInstance");
    wrongShape.nameSpace = CIMNamespaceName("root");
    wrongShape.params = {CIMParamValue("InstanceName", CIMValue("not a path"))};
    EXPECT_THROW(encodeRequest(wrongShape), CIMXmlError);
    wrongShape.params = {CIMParamValue("ClassName", CIMValue("not a name"))};
    EXPECT_THROW(encodeRequest(wrongShape), CIMXmlError);
}

TEST(CIMXmlExportDocuments, SuccessAndErrorAnswers) {
    const std::string head =
        "<CIM CIMVERSION=\"2.0\" DTDVERSION=\"2.0\"><MESSAGE ID=\"77\" PROTOCOLVERSION=\"1.0\"><SIMPLEEXPRSP>";
    const std::string tail = "</SIMPLEEXPRSP></MESSAGE></CIM>";
    for (const char* success : {"<EXPMETHODRESPONSE NAME=\"ExportIndication\"/>",
                                "<EXPMETHODRESPONSE NAME=\"ExportIndication\"><IRETURNVALUE/></EXPMETHODRESPONSE>",
                                "<EXPMETHODRESPONSE NAME=\"ExportIndication\"><IRETURNVALUE>\n</IRETURNVALUE></EXPMETHODRESPONSE>"}) {
        const CIMExportResponse response = decodeExportResponse(head + success + tail);
        EXPECT_EQ(response.messageId, "77");
        EXPECT_FALSE(response.error) << success;
    }
    const CIMExportResponse failed = decodeExportResponse(
        head + "<EXPMETHODRESPONSE NAME=\"ExportIndication\"><ERROR CODE=\"7\" DESCRIPTION=\"no\"/></EXPMETHODRESPONSE>" + tail);
    ASSERT_TRUE(failed.error);
    EXPECT_EQ(failed.error->code, CIMStatusCode::NotSupported);

    const CIMExportRequest other = decodeExportRequest(
        "<CIM CIMVERSION=\"2.0\" DTDVERSION=\"2.0\"><MESSAGE ID=\"5\" PROTOCOLVERSION=\"1.0\"><SIMPLEEXPREQ>"
        "<EXPMETHODCALL NAME=\"ExportSomethingElse\"/></SIMPLEEXPREQ></MESSAGE></CIM>");
    EXPECT_EQ(other.methodName, CIMName("ExportSomethingElse"));
    EXPECT_EQ(other.findIndication(), nullptr) << "the listener answers this with an error, not the codec";
}

TEST(CIMXmlRequestDocuments, InPlaceReadingGivesTheSameAnswer) {
    CIMResponse response;
    response.messageId = "9";
    response.methodName = CIMName("EnumerateInstanceNames");
    response.kind = CIMReturnKind::InstanceNames;
    response.paths = {CIMObjectPath("CIM_X.K=1"), CIMObjectPath("CIM_X.K=2")};
    std::string body = encodeResponse(response);
    const CIMResponse copied = decodeResponse(std::string_view(body));
    EXPECT_EQ(decodeResponse(std::move(body)), copied);
    EXPECT_EQ(copied, response);
}

} // namespace
} // namespace cim
