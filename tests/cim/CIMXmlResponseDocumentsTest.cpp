// Hand-written DSP0201 documents, shaped like what CIM servers send for each operation.
#include <gtest/gtest.h>

#include "cim/xml/CIMXmlCodec.h"
#include "CIMXmlResponseBothWays.h"

namespace cim {
namespace {

std::string message(const std::string& body) {
    return "<?xml version=\"1.0\" encoding=\"utf-8\" ?>\n"
           "<CIM CIMVERSION=\"2.0\" DTDVERSION=\"2.0\">\n"
           "  <MESSAGE ID=\"1001\" PROTOCOLVERSION=\"1.0\">\n"
           "    <SIMPLERSP>\n" + body + "\n    </SIMPLERSP>\n  </MESSAGE>\n</CIM>\n";
}

std::string imethod(const std::string& name, const std::string& content) {
    return message("<IMETHODRESPONSE NAME=\"" + name + "\">" + content + "</IMETHODRESPONSE>");
}

const char* const kVolumeInstance = R"(
  <INSTANCE CLASSNAME="CIM_StorageVolume">
    <QUALIFIER NAME="Description" TYPE="string"><VALUE>ignored</VALUE></QUALIFIER>
    <PROPERTY NAME="DeviceID" TYPE="string" CLASSORIGIN="CIM_LogicalDevice" PROPAGATED="true">
      <QUALIFIER NAME="Key" TYPE="boolean"><VALUE>TRUE</VALUE></QUALIFIER>
      <VALUE>v1</VALUE>
    </PROPERTY>
    <PROPERTY NAME="BlockSize" TYPE="uint64"><VALUE>512</VALUE></PROPERTY>
    <PROPERTY NAME="NumberOfBlocks" TYPE="uint64"><VALUE>0x100000</VALUE></PROPERTY>
    <PROPERTY NAME="ElementName" TYPE="string"></PROPERTY>
    <PROPERTY NAME="Caption" TYPE="string"><VALUE/></PROPERTY>
    <PROPERTY NAME="Padded" TYPE="string"><VALUE>  two spaces  </VALUE></PROPERTY>
    <PROPERTY NAME="Blank" TYPE="string"><VALUE> </VALUE></PROPERTY>
    <PROPERTY NAME="NoSinglePointOfFailure" TYPE="boolean"><VALUE>true</VALUE></PROPERTY>
    <PROPERTY NAME="Lines" TYPE="string"><VALUE>a&#13;&#10;b&#x9;c &amp; &lt;d&gt;</VALUE></PROPERTY>
    <PROPERTY NAME="Split" TYPE="string"><VALUE>a<![CDATA[<b>]]>c</VALUE></PROPERTY>
    <PROPERTY.ARRAY NAME="OperationalStatus" TYPE="uint16" ARRAYSIZE="3">
      <VALUE.ARRAY><VALUE>2</VALUE><VALUE.NULL/><VALUE> 32768 </VALUE></VALUE.ARRAY>
    </PROPERTY.ARRAY>
    <PROPERTY.ARRAY NAME="Nothing" TYPE="string"></PROPERTY.ARRAY>
    <PROPERTY.REFERENCE NAME="Pool" REFERENCECLASS="CIM_StoragePool">
      <VALUE.REFERENCE><INSTANCENAME CLASSNAME="CIM_StoragePool">
        <KEYBINDING NAME="InstanceID"><KEYVALUE VALUETYPE="string">pool-1</KEYVALUE></KEYBINDING>
      </INSTANCENAME></VALUE.REFERENCE>
    </PROPERTY.REFERENCE>
    <PROPERTY NAME="Created" TYPE="datetime"><VALUE>20240131235959.000000-300</VALUE></PROPERTY>
  </INSTANCE>)";

TEST(CIMXmlResponseDocuments, GetInstance) {
    const CIMResponse response = decodeResponseBothWays(imethod("GetInstance",
        std::string("<IRETURNVALUE>") + kVolumeInstance + "</IRETURNVALUE>"));
    ASSERT_FALSE(response.error);
    EXPECT_EQ(response.messageId, "1001");
    EXPECT_EQ(response.methodName, CIMName("GetInstance"));
    ASSERT_EQ(response.kind, CIMReturnKind::Instances);
    ASSERT_EQ(response.instances.size(), 1u);
    const CIMInstance& volume = response.instances[0];
    EXPECT_EQ(volume.getClassName(), CIMName("CIM_StorageVolume"));
    EXPECT_EQ(volume.getProperty(0).getClassOrigin(), CIMName("CIM_LogicalDevice"));
    EXPECT_TRUE(volume.getProperty(0).getPropagated());
    EXPECT_EQ(volume.getPropertyValue("DeviceID").get<std::string>(), "v1");
    EXPECT_EQ(volume.getPropertyValue("NumberOfBlocks").get<uint64_t>(), 0x100000u);
    EXPECT_TRUE(volume.getPropertyValue("ElementName").isNull());
    EXPECT_EQ(volume.getPropertyValue("Caption"), CIMValue(std::string()));
    EXPECT_EQ(volume.getPropertyValue("Padded").get<std::string>(), "  two spaces  ");
    EXPECT_EQ(volume.getPropertyValue("Blank").get<std::string>(), " ");
    EXPECT_TRUE(volume.getPropertyValue("NoSinglePointOfFailure").get<bool>());
    EXPECT_EQ(volume.getPropertyValue("Lines").get<std::string>(), "a\r\nb\tc & <d>");
    EXPECT_EQ(volume.getPropertyValue("Split").get<std::string>(), "a<b>c");
    const CIMValue& status = volume.getPropertyValue("OperationalStatus");
    EXPECT_EQ(status.get<std::vector<uint16_t>>(), (std::vector<uint16_t>{2, 0, 32768}));
    EXPECT_TRUE(status.isElementNull(1));
    EXPECT_TRUE(volume.getPropertyValue("Nothing").isNull());
    EXPECT_TRUE(volume.getPropertyValue("Nothing").isArray());
    EXPECT_EQ(volume.getPropertyValue("Pool").get<CIMObjectPath>(),
              CIMObjectPath("CIM_StoragePool.InstanceID=\"pool-1\""));
    EXPECT_EQ(volume.getProperty(volume.findProperty("Pool")).getReferenceClassName(),
              CIMName("CIM_StoragePool"));
    EXPECT_EQ(volume.getPropertyValue("Created").get<CIMDateTime>().utcOffsetMinutes(), -300);
}

TEST(CIMXmlResponseDocuments, EnumerateInstancesWithEveryKeyValueForm) {
    const CIMResponse response = decodeResponseBothWays(imethod("EnumerateInstances", std::string(R"(
      <IRETURNVALUE>
        <VALUE.NAMEDINSTANCE>
          <INSTANCENAME CLASSNAME="CIM_StorageVolume">
            <KEYBINDING NAME="DeviceID"><KEYVALUE VALUETYPE="string">v1</KEYVALUE></KEYBINDING>
            <KEYBINDING NAME="CreationClassName"><KEYVALUE>CIM_StorageVolume</KEYVALUE></KEYBINDING>
            <KEYBINDING NAME="Slot"><KEYVALUE TYPE="uint16"> 5 </KEYVALUE></KEYBINDING>
            <KEYBINDING NAME="Primary"><KEYVALUE VALUETYPE="boolean" TYPE="boolean">FALSE</KEYVALUE></KEYBINDING>
            <KEYBINDING NAME="Weight"><KEYVALUE VALUETYPE="numeric">-1.5</KEYVALUE></KEYBINDING>
          </INSTANCENAME>)") + kVolumeInstance + R"(
        </VALUE.NAMEDINSTANCE>
        <VALUE.NAMEDINSTANCE>
          <INSTANCENAME CLASSNAME="CIM_StorageVolume"><KEYVALUE VALUETYPE="string">v2</KEYVALUE></INSTANCENAME>
          <INSTANCE CLASSNAME="CIM_StorageVolume"/>
        </VALUE.NAMEDINSTANCE>
      </IRETURNVALUE>)"));
    ASSERT_EQ(response.kind, CIMReturnKind::NamedInstances);
    ASSERT_EQ(response.instances.size(), 2u);
    const auto& keys = response.instances[0].getPath().getKeyBindings();
    ASSERT_EQ(keys.size(), 5u);
    EXPECT_EQ(keys[1].getType(), CIMKeyBinding::Type::String);
    EXPECT_EQ(keys[2].getType(), CIMKeyBinding::Type::Numeric);
    EXPECT_EQ(keys[2].getValue(), "5");
    EXPECT_EQ(keys[3].getType(), CIMKeyBinding::Type::Boolean);
    EXPECT_EQ(keys[4].getValue(), "-1.5");
    EXPECT_EQ(response.instances[0].getPath().toString(),
              "CIM_StorageVolume.DeviceID=\"v1\",CreationClassName=\"CIM_StorageVolume\",Slot=5,"
              "Primary=FALSE,Weight=-1.5");
    // An unnamed key, as single-key classes sometimes come.
    const CIMObjectPath& unnamed = response.instances[1].getPath();
    ASSERT_EQ(unnamed.getKeyBindings().size(), 1u);
    EXPECT_TRUE(unnamed.getKeyBindings()[0].getName().isNull());
    EXPECT_EQ(unnamed.getKeyBindings()[0].getValue(), "v2");
}

TEST(CIMXmlResponseDocuments, EnumerateInstanceNamesWithReferenceKeys) {
    const CIMResponse response = decodeResponseBothWays(imethod("EnumerateInstanceNames", R"(
      <IRETURNVALUE>
        <INSTANCENAME CLASSNAME="CIM_ElementSettingData">
          <KEYBINDING NAME="ManagedElement">
            <VALUE.REFERENCE><INSTANCEPATH>
              <NAMESPACEPATH><HOST>array1</HOST>
                <LOCALNAMESPACEPATH><NAMESPACE NAME="root"/><NAMESPACE NAME="snia"/></LOCALNAMESPACEPATH>
              </NAMESPACEPATH>
              <INSTANCENAME CLASSNAME="CIM_StorageVolume">
                <KEYBINDING NAME="DeviceID"><KEYVALUE>v&quot;1</KEYVALUE></KEYBINDING>
              </INSTANCENAME>
            </INSTANCEPATH></VALUE.REFERENCE>
          </KEYBINDING>
          <KEYBINDING NAME="SettingData">
            <VALUE.REFERENCE><LOCALINSTANCEPATH>
              <LOCALNAMESPACEPATH><NAMESPACE NAME="root/snia"/></LOCALNAMESPACEPATH>
              <INSTANCENAME CLASSNAME="CIM_StorageSetting"><KEYBINDING NAME="InstanceID"><KEYVALUE>s1</KEYVALUE></KEYBINDING></INSTANCENAME>
            </LOCALINSTANCEPATH></VALUE.REFERENCE>
          </KEYBINDING>
        </INSTANCENAME>
        <INSTANCENAME CLASSNAME="CIM_Singleton"/>
      </IRETURNVALUE>)"));
    ASSERT_EQ(response.kind, CIMReturnKind::InstanceNames);
    ASSERT_EQ(response.paths.size(), 2u);
    const CIMKeyBinding& element = response.paths[0].getKeyBindings()[0];
    ASSERT_EQ(element.getType(), CIMKeyBinding::Type::Reference);
    EXPECT_EQ(element.getReference().getHost(), "array1");
    EXPECT_EQ(element.getReference().getNameSpace(), CIMNamespaceName("root/snia"));
    EXPECT_EQ(element.getValue(), "//array1/root/snia:CIM_StorageVolume.DeviceID=\"v\\\"1\"");
    EXPECT_EQ(response.paths[0].getKeyBindings()[1].getReference().getNameSpace(),
              CIMNamespaceName("root/snia"));
    EXPECT_FALSE(response.paths[1].hasKeys());
}

TEST(CIMXmlResponseDocuments, AssociatorsAndAssociatorNames) {
    const CIMResponse objects = decodeResponseBothWays(imethod("Associators", R"(
      <IRETURNVALUE>
        <VALUE.OBJECTWITHPATH>
          <INSTANCEPATH>
            <NAMESPACEPATH><HOST>10.0.0.5:5988</HOST><LOCALNAMESPACEPATH><NAMESPACE NAME="root"/><NAMESPACE NAME="snia"/></LOCALNAMESPACEPATH></NAMESPACEPATH>
            <INSTANCENAME CLASSNAME="CIM_StoragePool"><KEYBINDING NAME="InstanceID"><KEYVALUE VALUETYPE="string">p1</KEYVALUE></KEYBINDING></INSTANCENAME>
          </INSTANCEPATH>
          <INSTANCE CLASSNAME="CIM_StoragePool"><PROPERTY NAME="InstanceID" TYPE="string"><VALUE>p1</VALUE></PROPERTY></INSTANCE>
        </VALUE.OBJECTWITHPATH>
        <VALUE.OBJECTWITHPATH>
          <CLASSPATH><NAMESPACEPATH><HOST>h</HOST><LOCALNAMESPACEPATH><NAMESPACE NAME="root"/></LOCALNAMESPACEPATH></NAMESPACEPATH><CLASSNAME NAME="CIM_Pool"/></CLASSPATH>
          <CLASS NAME="CIM_Pool" SUPERCLASS="CIM_LogicalElement">
            <QUALIFIER NAME="Abstract" TYPE="boolean"><VALUE>FALSE</VALUE></QUALIFIER>
            <PROPERTY NAME="Size" TYPE="uint64"/>
            <METHOD NAME="Grow" TYPE="uint32"><PARAMETER NAME="By" TYPE="uint64"/></METHOD>
          </CLASS>
        </VALUE.OBJECTWITHPATH>
      </IRETURNVALUE>)"));
    ASSERT_EQ(objects.kind, CIMReturnKind::ObjectsWithPath);
    ASSERT_EQ(objects.objects.size(), 2u);
    ASSERT_TRUE(objects.objects[0].isInstance());
    EXPECT_EQ(objects.objects[0].getPath().toString(),
              "//10.0.0.5:5988/root/snia:CIM_StoragePool.InstanceID=\"p1\"");
    ASSERT_TRUE(objects.objects[1].isClass());
    EXPECT_EQ(objects.objects[1].getClass().getSuperClassName(), CIMName("CIM_LogicalElement"));
    EXPECT_EQ(objects.objects[1].getClass().getPropertyCount(), 1u);

    const CIMResponse names = decodeResponseBothWays(imethod("AssociatorNames", R"(
      <IRETURNVALUE>
        <OBJECTPATH><INSTANCEPATH>
          <NAMESPACEPATH><HOST>h</HOST><LOCALNAMESPACEPATH><NAMESPACE NAME="interop"/></LOCALNAMESPACEPATH></NAMESPACEPATH>
          <INSTANCENAME CLASSNAME="CIM_RegisteredProfile"><KEYBINDING NAME="InstanceID"><KEYVALUE>SNIA:Array</KEYVALUE></KEYBINDING></INSTANCENAME>
        </INSTANCEPATH></OBJECTPATH>
      </IRETURNVALUE>)"));
    ASSERT_EQ(names.kind, CIMReturnKind::ObjectPaths);
    EXPECT_EQ(names.paths.at(0).toString(), "//h/interop:CIM_RegisteredProfile.InstanceID=\"SNIA:Array\"");
}

TEST(CIMXmlResponseDocuments, CreateInstanceAnswersTheNewName) {
    const CIMResponse response = decodeResponseBothWays(imethod("CreateInstance", R"(
      <IRETURNVALUE><INSTANCENAME CLASSNAME="CIM_IndicationFilter">
        <KEYBINDING NAME="Name"><KEYVALUE VALUETYPE="string">MerrowFilter17</KEYVALUE></KEYBINDING>
      </INSTANCENAME></IRETURNVALUE>)"));
    ASSERT_EQ(response.kind, CIMReturnKind::InstanceNames);
    EXPECT_EQ(response.paths.at(0), CIMObjectPath("CIM_IndicationFilter.Name=\"MerrowFilter17\""));
}

TEST(CIMXmlResponseDocuments, EmptyResultsInAllThreeForms) {
    for (const char* content : {"", "<IRETURNVALUE/>", "<IRETURNVALUE></IRETURNVALUE>",
                                "<IRETURNVALUE>\n   </IRETURNVALUE>"}) {
        for (const char* operation : {"DeleteInstance", "ModifyInstance", "EnumerateInstances"}) {
            const CIMResponse response = decodeResponseBothWays(imethod(operation, content));
            EXPECT_FALSE(response.error) << content;
            EXPECT_EQ(response.kind, CIMReturnKind::Nothing) << content;
            EXPECT_TRUE(response.instances.empty());
            EXPECT_TRUE(response.paths.empty());
        }
    }
}

TEST(CIMXmlResponseDocuments, InvokeMethodWithOutParameters) {
    const CIMResponse response = decodeResponseBothWays(message(R"(
      <METHODRESPONSE NAME="CreateVolume">
        <RETURNVALUE PARAMTYPE="uint32"><VALUE>4096</VALUE></RETURNVALUE>
        <PARAMVALUE NAME="Job" PARAMTYPE="reference">
          <VALUE.REFERENCE><LOCALINSTANCEPATH><LOCALNAMESPACEPATH><NAMESPACE NAME="root"/><NAMESPACE NAME="snia"/></LOCALNAMESPACEPATH>
            <INSTANCENAME CLASSNAME="CIM_ConcreteJob"><KEYBINDING NAME="InstanceID"><KEYVALUE>job7</KEYVALUE></KEYBINDING></INSTANCENAME>
          </LOCALINSTANCEPATH></VALUE.REFERENCE>
        </PARAMVALUE>
        <PARAMVALUE NAME="Size" PARAMTYPE="uint64"><VALUE>1073741824</VALUE></PARAMVALUE>
        <PARAMVALUE NAME="Untyped"><VALUE>12</VALUE></PARAMVALUE>
        <PARAMVALUE NAME="Volumes" PARAMTYPE="reference"><VALUE.REFARRAY>
          <VALUE.REFERENCE><CLASSNAME NAME="CIM_StorageVolume"/></VALUE.REFERENCE><VALUE.NULL/>
        </VALUE.REFARRAY></PARAMVALUE>
        <PARAMVALUE NAME="Setting" PARAMTYPE="string" EMBEDDEDOBJECT="instance"><VALUE><![CDATA[<INSTANCE CLASSNAME="CIM_StorageSetting"><PROPERTY NAME="Note" TYPE="string"><VALUE>a &amp; b</VALUE></PROPERTY></INSTANCE>]]></VALUE></PARAMVALUE>
        <PARAMVALUE NAME="Direct" PARAMTYPE="instance"><INSTANCE CLASSNAME="CIM_X"/></PARAMVALUE>
      </METHODRESPONSE>)"));
    ASSERT_FALSE(response.error);
    EXPECT_TRUE(response.extrinsic);
    EXPECT_EQ(response.returnValue, CIMValue(uint32_t{4096}));
    ASSERT_EQ(response.outParams.size(), 6u);
    EXPECT_EQ(response.outParams[0].getValue().get<CIMObjectPath>().toString(),
              "root/snia:CIM_ConcreteJob.InstanceID=\"job7\"");
    EXPECT_EQ(response.outParams[1].getValue(), CIMValue(uint64_t{1073741824}));
    EXPECT_FALSE(response.outParams[2].isTyped());
    EXPECT_EQ(CIMValue::fromText(CIMType::Uint16, response.outParams[2].getValue().get<std::string>()),
              CIMValue(uint16_t{12}));
    EXPECT_TRUE(response.outParams[3].getValue().isElementNull(1));
    const CIMInstance setting = response.outParams[4].getValue().get<CIMInstance>();
    EXPECT_EQ(setting.getPropertyValue("Note").get<std::string>(), "a & b");
    EXPECT_EQ(response.outParams[5].getValue().getType(), CIMType::Instance);

    // Older servers write TYPE on RETURNVALUE, some write no type at all.
    const CIMResponse legacy = decodeResponseBothWays(message(
        "<METHODRESPONSE NAME=\"M\"><RETURNVALUE TYPE=\"uint16\"><VALUE>3</VALUE></RETURNVALUE></METHODRESPONSE>"));
    EXPECT_EQ(legacy.returnValue, CIMValue(uint16_t{3}));
    const CIMResponse untyped = decodeResponseBothWays(message(
        "<METHODRESPONSE NAME=\"M\"><RETURNVALUE><VALUE>0</VALUE></RETURNVALUE></METHODRESPONSE>"));
    EXPECT_EQ(untyped.returnValue, CIMValue("0"));
    const CIMResponse none = decodeResponseBothWays(message("<METHODRESPONSE NAME=\"M\"/>"));
    EXPECT_TRUE(none.returnValue.isNull());
}

TEST(CIMXmlResponseDocuments, CimErrors) {
    const CIMResponse notFound = decodeResponseBothWays(imethod("GetInstance",
        R"(<ERROR CODE="6" DESCRIPTION="Object &quot;v9&quot; not found"/>)"));
    ASSERT_TRUE(notFound.error);
    EXPECT_EQ(notFound.error->code, CIMStatusCode::NotFound);
    EXPECT_EQ(notFound.error->description, "Object \"v9\" not found");
    EXPECT_STREQ(notFound.error->toException().what(), "CIM_ERR_NOT_FOUND: Object \"v9\" not found");

    const CIMResponse withInstance = decodeResponseBothWays(message(R"(
      <METHODRESPONSE NAME="CreateVolume"><ERROR CODE="4">
        <INSTANCE CLASSNAME="CIM_Error"><PROPERTY NAME="Message" TYPE="string"><VALUE>bad size</VALUE></PROPERTY></INSTANCE>
      </ERROR></METHODRESPONSE>)"));
    ASSERT_TRUE(withInstance.error);
    EXPECT_EQ(withInstance.error->code, CIMStatusCode::InvalidParameter);
    EXPECT_TRUE(withInstance.error->description.empty());
    ASSERT_EQ(withInstance.error->instances.size(), 1u);

    const CIMResponse newerCode = decodeResponseBothWays(imethod("OpenEnumerateInstances", R"(<ERROR CODE="26"/>)"));
    EXPECT_EQ(newerCode.error->toException().getCodeNumber(), 26);
}

// An indication the way a server delivers it: SourceInstance escaped, PreviousInstance in
// CDATA with the legacy attribute spelling, and an embedded instance inside the embedded one.
TEST(CIMXmlResponseDocuments, IndicationWithEmbeddedInstancesInEveryForm) {
    const std::string xml = R"(<?xml version="1.0" encoding="utf-8"?>
<CIM CIMVERSION="2.0" DTDVERSION="2.0"><MESSAGE ID="1234" PROTOCOLVERSION="1.0"><SIMPLEEXPREQ>
<CORRELATOR NAME="c" TYPE="string"><VALUE>x</VALUE></CORRELATOR>
<EXPMETHODCALL NAME="ExportIndication"><EXPPARAMVALUE NAME="NewIndication">
<INSTANCE CLASSNAME="CIM_InstModification">
<PROPERTY NAME="IndicationIdentifier" TYPE="string"><VALUE>42</VALUE></PROPERTY>
<PROPERTY NAME="SourceInstanceModelPath" TYPE="string"><VALUE>//a/root/snia:CIM_StorageVolume.DeviceID=&quot;v1&quot;</VALUE></PROPERTY>
<PROPERTY NAME="SourceInstance" TYPE="string" EmbeddedObject="object"><VALUE>&lt;INSTANCE CLASSNAME="CIM_StorageVolume"&gt;&lt;PROPERTY NAME="DeviceID" TYPE="string"&gt;&lt;VALUE&gt;v1&lt;/VALUE&gt;&lt;/PROPERTY&gt;&lt;PROPERTY NAME="Setting" TYPE="string" EmbeddedObject="instance"&gt;&lt;VALUE&gt;&amp;lt;INSTANCE CLASSNAME="CIM_S"&amp;gt;&amp;lt;PROPERTY NAME="A" TYPE="string"&amp;gt;&amp;lt;VALUE&amp;gt;x &amp;amp;amp; y&amp;lt;/VALUE&amp;gt;&amp;lt;/PROPERTY&amp;gt;&amp;lt;/INSTANCE&amp;gt;&lt;/VALUE&gt;&lt;/PROPERTY&gt;&lt;/INSTANCE&gt;</VALUE></PROPERTY>
<PROPERTY NAME="PreviousInstance" TYPE="string" EMBEDDEDOBJECT="object"><VALUE><![CDATA[<INSTANCE CLASSNAME="CIM_StorageVolume"><PROPERTY NAME="DeviceID" TYPE="string"><VALUE>v0</VALUE></PROPERTY></INSTANCE>]]></VALUE></PROPERTY>
</INSTANCE></EXPPARAMVALUE></EXPMETHODCALL></SIMPLEEXPREQ></MESSAGE></CIM>)";
    const CIMExportRequest request = decodeExportRequest(xml);
    EXPECT_EQ(request.messageId, "1234");
    EXPECT_EQ(request.methodName, CIMName("ExportIndication"));
    const CIMInstance* indication = request.findIndication();
    ASSERT_NE(indication, nullptr);
    const CIMValue& source = indication->getPropertyValue("SourceInstance");
    EXPECT_EQ(source.getType(), CIMType::Object);
    const CIMInstance volume = source.get<CIMInstance>();
    EXPECT_EQ(volume.getPropertyValue("DeviceID").get<std::string>(), "v1");
    EXPECT_EQ(volume.getPropertyValue("Setting").get<CIMInstance>().getPropertyValue("A").get<std::string>(),
              "x & y");
    EXPECT_EQ(indication->getPropertyValue("PreviousInstance").get<CIMInstance>()
                  .getPropertyValue("DeviceID").get<std::string>(),
              "v0");
}

} // namespace
} // namespace cim
