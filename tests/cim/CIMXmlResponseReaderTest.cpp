// The item-by-item response reader against the tree of the whole document: layouts it takes
// item by item, layouts it leaves to the tree, and faults anywhere in the document.
#include <gtest/gtest.h>

#include "CIMXmlResponseBothWays.h"
#include "cim/xml/CIMXmlCodec.h"
#include "cim/xml/CIMXmlError.h"

namespace cim {
namespace {

std::string response(const std::string& method) {
    return "<?xml version=\"1.0\" encoding=\"utf-8\" ?>\n"
           "<CIM CIMVERSION=\"2.0\" DTDVERSION=\"2.0\"><MESSAGE ID=\"9\" PROTOCOLVERSION=\"1.0\"><SIMPLERSP>" +
           method + "</SIMPLERSP></MESSAGE></CIM>\n";
}

std::string enumerate(const std::string& list) {
    return response("<IMETHODRESPONSE NAME=\"EnumerateInstances\"><IRETURNVALUE>" + list +
                    "</IRETURNVALUE></IMETHODRESPONSE>");
}

std::string named(const std::string& id, const std::string& properties = "") {
    return "<VALUE.NAMEDINSTANCE><INSTANCENAME CLASSNAME=\"CIM_V\"><KEYBINDING NAME=\"ID\">"
           "<KEYVALUE VALUETYPE=\"string\">" + id + "</KEYVALUE></KEYBINDING></INSTANCENAME>"
           "<INSTANCE CLASSNAME=\"CIM_V\"><PROPERTY NAME=\"ID\" TYPE=\"string\"><VALUE>" + id +
           "</VALUE></PROPERTY>" + properties + "</INSTANCE></VALUE.NAMEDINSTANCE>";
}

struct Layout {
    const char* description;
    std::string xml;
    bool itemByItem; // the path expected for a document that reads
    bool read;       // true: a response, false: an error
};

void PrintTo(const Layout& layout, std::ostream* os) { *os << layout.description; }

class ResponseLayout : public ::testing::TestWithParam<Layout> {};

TEST_P(ResponseLayout, ReadsAsTheWholeDocumentDoes) {
    const Layout& layout = GetParam();
    const ResponseOutcome outcome = readResponseBothWays(layout.xml);
    EXPECT_EQ(outcome.response.has_value(), layout.read) << outcome.errorText;
    if (layout.read) {
        EXPECT_EQ(outcome.itemByItem, layout.itemByItem);
    }
}

const std::string kEmbedded = "<PROPERTY NAME=\"E\" TYPE=\"string\" EmbeddedObject=\"instance\"><VALUE>"
                              "&lt;INSTANCE CLASSNAME=&quot;CIM_E&quot;&gt;&lt;PROPERTY NAME=&quot;T&quot; "
                              "TYPE=&quot;string&quot;&gt;&lt;VALUE&gt;a &amp;amp; &amp;lt;b&amp;gt;&lt;/VALUE&gt;"
                              "&lt;/PROPERTY&gt;&lt;/INSTANCE&gt;</VALUE></PROPERTY>";

INSTANTIATE_TEST_SUITE_P(
    ItemByItem, ResponseLayout,
    ::testing::Values(
        Layout{"plain list", enumerate(named("a") + named("b") + named("c")), true, true},
        Layout{"white space of every kind between items", enumerate("\r\n\t " + named("a") + "\n\t" + named("b") + " \r\n"),
               true, true},
        Layout{"comment, CDATA and references inside items",
               enumerate(named("a", "<!-- </INSTANCE> --><PROPERTY NAME=\"P\" TYPE=\"string\"><VALUE>"
                                    "x<![CDATA[<&>]]>&#x20AC;&amp;&lt;</VALUE></PROPERTY>") + named("b")),
               true, true},
        Layout{"unknown entity reference, kept as text", enumerate(named("a") + named("&bogus;")), true, true},
        Layout{"instance names with reference keys holding instance names",
               response("<IMETHODRESPONSE NAME=\"EnumerateInstanceNames\"><IRETURNVALUE>"
                        "<INSTANCENAME CLASSNAME=\"CIM_A\"><KEYBINDING NAME=\"R\"><VALUE.REFERENCE>"
                        "<INSTANCENAME CLASSNAME=\"CIM_B\"><KEYBINDING NAME=\"R\"><VALUE.REFERENCE>"
                        "<INSTANCENAME CLASSNAME=\"CIM_C\"/></VALUE.REFERENCE></KEYBINDING></INSTANCENAME>"
                        "</VALUE.REFERENCE></KEYBINDING></INSTANCENAME><INSTANCENAME CLASSNAME=\"CIM_D\"/>"
                        "</IRETURNVALUE></IMETHODRESPONSE>"),
               true, true},
        Layout{"embedded instance as escaped XML", enumerate(named("a", kEmbedded) + named("b", kEmbedded)), true, true},
        Layout{"attribute values holding > and />",
               response("<IMETHODRESPONSE NAME=\"EnumerateInstanceNames\"><IRETURNVALUE>"
                        "<INSTANCENAME X=\"a>/\" CLASSNAME=\"CIM_A\"/><INSTANCENAME CLASSNAME='CIM_B' Y='/>'></INSTANCENAME>"
                        "</IRETURNVALUE></IMETHODRESPONSE>"),
               true, true},
        Layout{"namespace declarations on the message", 
               "<CIM xmlns=\"urn:cim\" xmlns:x=\"urn:x\" CIMVERSION=\"2.0\" DTDVERSION=\"2.0\"><MESSAGE ID=\"9\" "
               "PROTOCOLVERSION=\"1.0\"><SIMPLERSP><IMETHODRESPONSE NAME=\"EnumerateInstances\"><IRETURNVALUE>" +
                   named("a") + "</IRETURNVALUE ></IMETHODRESPONSE></SIMPLERSP></MESSAGE></CIM>",
               true, true},
        Layout{"out parameters after the list",
               response("<IMETHODRESPONSE NAME=\"X\"><IRETURNVALUE>" + named("a") +
                        "</IRETURNVALUE><PARAMVALUE NAME=\"N\" PARAMTYPE=\"uint32\"><VALUE>7</VALUE></PARAMVALUE>"
                        "</IMETHODRESPONSE>"),
               true, true},
        Layout{"document type declaration before the message",
               "<?xml version=\"1.0\"?><!DOCTYPE CIM SYSTEM \"cim.dtd\">" +
                   enumerate(named("a")).substr(enumerate("").find("<CIM ")),
               true, true}));

INSTANTIATE_TEST_SUITE_P(
    WholeDocument, ResponseLayout,
    ::testing::Values(
        Layout{"comment between items", enumerate(named("a") + "<!-- x -->" + named("b")), false, true},
        Layout{"blank CDATA between items", enumerate(named("a") + "<![CDATA[ ]]>" + named("b")), false, true},
        Layout{"end tag with white space", enumerate(named("a") + "<VALUE.NAMEDINSTANCE>" + named("b").substr(21, named("b").size() - 43) + "</VALUE.NAMEDINSTANCE >"), false, true},
        Layout{"comment holding the item's end tag",
               enumerate(named("a", "<!-- </VALUE.NAMEDINSTANCE> -->") + named("b")), false, true},
        Layout{"CDATA holding the item's end tag",
               enumerate(named("a", "<PROPERTY NAME=\"P\" TYPE=\"string\"><VALUE><![CDATA[</VALUE.NAMEDINSTANCE>]]>"
                                    "</VALUE></PROPERTY>")),
               false, true},
        Layout{"IRETURNVALUE in a comment before the real one",
               "<!-- <IRETURNVALUE> -->" + enumerate(named("a")), false, true},
        Layout{"list end tag inside a later CDATA",
               response("<IMETHODRESPONSE NAME=\"X\"><IRETURNVALUE>" + named("a") +
                        "</IRETURNVALUE><PARAMVALUE NAME=\"N\"><VALUE><![CDATA[</IRETURNVALUE>]]></VALUE></PARAMVALUE>"
                        "</IMETHODRESPONSE>"),
               false, true},
        Layout{"one value", response("<IMETHODRESPONSE NAME=\"GetProperty\"><IRETURNVALUE><VALUE>v</VALUE>"
                                     "</IRETURNVALUE></IMETHODRESPONSE>"), false, true},
        Layout{"empty list", enumerate(" \n "), false, true},
        Layout{"self-closed list", response("<IMETHODRESPONSE NAME=\"D\"><IRETURNVALUE/></IMETHODRESPONSE>"), false, true},
        Layout{"no list", response("<IMETHODRESPONSE NAME=\"D\"></IMETHODRESPONSE>"), false, true},
        Layout{"error", response("<IMETHODRESPONSE NAME=\"E\"><ERROR CODE=\"6\" DESCRIPTION=\"gone\"/></IMETHODRESPONSE>"),
               false, true}));

INSTANTIATE_TEST_SUITE_P(
    Refused, ResponseLayout,
    ::testing::Values(
        Layout{"malformed XML after the message", enumerate(named("a")) + "<bad", false, false},
        Layout{"malformed XML in the message after the list",
               response("<IMETHODRESPONSE NAME=\"X\"><IRETURNVALUE>" + named("a") +
                        "</IRETURNVALUE><PARAMVALUE NAME=\"N\"></PARAMVALU></IMETHODRESPONSE>"),
               false, false},
        Layout{"mismatched tag in the last item", enumerate(named("a") + named("b", "<PROPERTY></PROPERTI>")), false, false},
        Layout{"value that does not read in the last item",
               enumerate(named("a") + named("b", "<PROPERTY NAME=\"N\" TYPE=\"uint8\"><VALUE>256</VALUE></PROPERTY>")),
               false, false},
        Layout{"NUL in an item", enumerate(named("a") + named(std::string("b\0c", 3))), false, false},
        Layout{"text between items", enumerate(named("a") + " x " + named("b")), false, false},
        Layout{"two kinds of item", enumerate(named("a") + "<INSTANCENAME CLASSNAME=\"CIM_V\"/>"), false, false},
        Layout{"item inside an item", enumerate("<VALUE.NAMEDINSTANCE>" + named("a") + "</VALUE.NAMEDINSTANCE>"),
               false, false},
        Layout{"unknown item", enumerate("<THING/><THING/>"), false, false},
        Layout{"error and a list",
               response("<IMETHODRESPONSE NAME=\"E\"><ERROR CODE=\"6\"/><IRETURNVALUE>" + named("a") +
                        "</IRETURNVALUE></IMETHODRESPONSE>"),
               false, false},
        Layout{"bad out parameter and a bad item: the item is reported",
               response("<IMETHODRESPONSE NAME=\"X\"><IRETURNVALUE>" + named("a", "<PROPERTY NAME=\"1x\" TYPE=\"string\"/>") +
                        "</IRETURNVALUE><PARAMVALUE/></IMETHODRESPONSE>"),
               false, false},
        Layout{"second root element", enumerate(named("a")) + "<CIM/>", false, false},
        Layout{"list element with a namespace prefix",
               response("<IMETHODRESPONSE NAME=\"X\"><x:IRETURNVALUE xmlns:x=\"urn:x\">" + named("a") +
                        "</x:IRETURNVALUE></IMETHODRESPONSE>"),
               false, false}));

// A fault in a later item shows only when that item is reached: the items before it have
// been handed out, and the error is the one the whole document gives.
TEST(CIMXmlResponseReader, FaultInALaterItemShowsWhenItIsReached) {
    const std::string xml =
        enumerate(named("a") + named("b", "<PROPERTY NAME=\"N\" TYPE=\"boolean\"><VALUE>maybe</VALUE></PROPERTY>"));
    CIMXmlResponseReader reader(xml);
    CIMResponse response = reader.readHead();
    EXPECT_EQ(response.messageId, "9");
    EXPECT_EQ(response.kind, CIMReturnKind::NamedInstances);
    EXPECT_TRUE(response.instances.empty());
    ASSERT_TRUE(reader.readItem(response));
    EXPECT_TRUE(reader.readingItemByItem());
    ASSERT_EQ(response.instances.size(), 1u);
    EXPECT_EQ(response.instances[0].getPropertyValue("ID").get<std::string>(), "a");
    std::string expected;
    try {
        decodeResponse(xml);
    } catch (const CIMXmlError& e) {
        expected = e.what();
    }
    ASSERT_FALSE(expected.empty());
    try {
        reader.readItem(response);
        FAIL() << "the second item must be refused";
    } catch (const CIMXmlError& e) {
        EXPECT_EQ(std::string(e.what()), expected);
    }
}

TEST(CIMXmlResponseReader, LongListOfEveryItemKindReadItemByItem) {
    CIMInstance volume("CIM_StorageVolume");
    volume.addProperty(CIMProperty("Text", CIMValue(testdata::kAwkwardText)));
    volume.addProperty(CIMProperty("Embedded", CIMValue(testdata::everyTypeInstance())));
    CIMResponse original;
    original.messageId = "77";
    original.methodName = CIMName("EnumerateInstances");
    original.kind = CIMReturnKind::NamedInstances;
    for (int i = 0; i < 300; ++i) {
        CIMInstance item = volume;
        item.setPath(CIMObjectPath("CIM_StorageVolume.DeviceID=\"" + std::to_string(i) + "\""));
        original.instances.push_back(item);
    }
    const ResponseOutcome outcome = readResponseBothWays(encodeResponse(original));
    ASSERT_TRUE(outcome.response) << outcome.errorText;
    EXPECT_TRUE(outcome.itemByItem);
    EXPECT_EQ(*outcome.response, original);
}

} // namespace
} // namespace cim
