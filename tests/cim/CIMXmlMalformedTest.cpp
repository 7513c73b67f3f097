// Each row: a document that must be refused and the words the error must contain.
#include <gtest/gtest.h>

#include "cim/xml/CIMXmlCodec.h"
#include "cim/xml/CIMXmlError.h"
#include "CIMXmlResponseBothWays.h"

namespace cim {
namespace {

enum class Reader { Response, Request, ExportRequest, ExportResponse };

struct MalformedCase {
    const char* description;
    Reader reader;
    std::string xml;
    const char* expectedError;
    friend void PrintTo(const MalformedCase& c, std::ostream* os) { *os << c.description; }
};

std::string wrap(const std::string& body, const char* simple = "SIMPLERSP") {
    return std::string("<CIM CIMVERSION=\"2.0\" DTDVERSION=\"2.0\"><MESSAGE ID=\"1\" PROTOCOLVERSION=\"1.0\"><") +
           simple + ">" + body + "</" + simple + "></MESSAGE></CIM>";
}

std::string getInstance(const std::string& instanceContent) {
    return wrap("<IMETHODRESPONSE NAME=\"GetInstance\"><IRETURNVALUE><INSTANCE CLASSNAME=\"CIM_X\">" +
                instanceContent + "</INSTANCE></IRETURNVALUE></IMETHODRESPONSE>");
}

std::string property(const std::string& type, const std::string& value) {
    return "<PROPERTY NAME=\"P\" TYPE=\"" + type + "\"><VALUE>" + value + "</VALUE></PROPERTY>";
}

std::string instanceName(const std::string& content) {
    return wrap("<IMETHODRESPONSE NAME=\"EnumerateInstanceNames\"><IRETURNVALUE><INSTANCENAME CLASSNAME=\"CIM_X\">" +
                content + "</INSTANCENAME></IRETURNVALUE></IMETHODRESPONSE>");
}

std::string nestedEmbedded(int depth) {
    std::string inner = "<INSTANCE CLASSNAME=\"CIM_X\"/>";
    for (int i = 0; i < depth; ++i) {
        std::string escaped;
        for (const char c : inner) {
            escaped += c == '<' ? "&lt;" : c == '>' ? "&gt;" : c == '&' ? "&amp;" : c == '"' ? "&quot;" : std::string(1, c);
        }
        inner = "<INSTANCE CLASSNAME=\"CIM_X\"><PROPERTY NAME=\"E\" TYPE=\"string\" EmbeddedObject=\"instance\"><VALUE>" +
                escaped + "</VALUE></PROPERTY></INSTANCE>";
    }
    return wrap("<IMETHODRESPONSE NAME=\"GetInstance\"><IRETURNVALUE>" + inner + "</IRETURNVALUE></IMETHODRESPONSE>");
}

std::string nestedReferences(int depth) {
    std::string key = "<KEYVALUE>x</KEYVALUE>";
    for (int i = 0; i < depth; ++i) {
        key = "<VALUE.REFERENCE><INSTANCENAME CLASSNAME=\"CIM_X\"><KEYBINDING NAME=\"K\">" + key +
              "</KEYBINDING></INSTANCENAME></VALUE.REFERENCE>";
    }
    return instanceName("<KEYBINDING NAME=\"K\">" + key + "</KEYBINDING>");
}

class MalformedDocument : public ::testing::TestWithParam<MalformedCase> {};

TEST_P(MalformedDocument, IsRefusedWithItsReason) {
    const MalformedCase& c = GetParam();
    try {
        switch (c.reader) {
        case Reader::Response: decodeResponseBothWays(c.xml); break;
        case Reader::Request: decodeRequest(c.xml); break;
        case Reader::ExportRequest: decodeExportRequest(c.xml); break;
        case Reader::ExportResponse: decodeExportResponse(c.xml); break;
        }
        FAIL() << "accepted: " << c.xml;
    } catch (const CIMXmlError& e) {
        EXPECT_NE(std::string(e.what()).find(c.expectedError), std::string::npos)
            << "error was: " << e.what();
    }
}

const auto R = Reader::Response;

INSTANTIATE_TEST_SUITE_P(
    Framing, MalformedDocument,
    ::testing::Values(
        MalformedCase{"not XML", R, "HTTP/1.1 200 OK", "malformed XML"},
        MalformedCase{"empty", R, "", "malformed XML"},
        MalformedCase{"truncated", R, wrap("<IMETHODRESPONSE NAME=\"X\">").substr(0, 60), "malformed XML"},
        MalformedCase{"mismatched tags", R, "<CIM><MESSAGE></CIM></MESSAGE>", "malformed XML"},
        MalformedCase{"NUL byte", R, std::string("<CIM>\0</CIM>", 12), "NUL"},
        MalformedCase{"two roots", R, wrap("<IMETHODRESPONSE NAME=\"X\"/>") + "<CIM/>", "more than one root"},
        MalformedCase{"wrong root", R, "<HTML/>", "expected CIM"},
        MalformedCase{"CIM version 3", R, "<CIM CIMVERSION=\"3.0\" DTDVERSION=\"2.0\"/>", "CIMVERSION"},
        MalformedCase{"no DTD version", R, "<CIM CIMVERSION=\"2.0\"/>", "missing attribute DTDVERSION"},
        MalformedCase{"no MESSAGE", R, "<CIM CIMVERSION=\"2.0\" DTDVERSION=\"2.0\"></CIM>", "exactly one"},
        MalformedCase{"declaration instead of message", R,
                      "<CIM CIMVERSION=\"2.0\" DTDVERSION=\"2.0\"><DECLARATION/></CIM>", "expected MESSAGE"},
        MalformedCase{"message without ID", R,
                      "<CIM CIMVERSION=\"2.0\" DTDVERSION=\"2.0\"><MESSAGE PROTOCOLVERSION=\"1.0\"><SIMPLERSP/></MESSAGE></CIM>",
                      "missing attribute ID"},
        MalformedCase{"protocol version 2", R,
                      "<CIM CIMVERSION=\"2.0\" DTDVERSION=\"2.0\"><MESSAGE ID=\"1\" PROTOCOLVERSION=\"2.0\"><SIMPLERSP/></MESSAGE></CIM>",
                      "PROTOCOLVERSION"},
        MalformedCase{"multiple response", R,
                      "<CIM CIMVERSION=\"2.0\" DTDVERSION=\"2.0\"><MESSAGE ID=\"1\" PROTOCOLVERSION=\"1.0\"><MULTIRSP/></MESSAGE></CIM>",
                      "expected SIMPLERSP"},
        MalformedCase{"request where a response belongs", R,
                      wrap("<IMETHODCALL NAME=\"X\"/>", "SIMPLEREQ"), "expected SIMPLERSP"},
        MalformedCase{"empty SIMPLERSP", R, wrap(""), "exactly one"},
        MalformedCase{"method without NAME", R, wrap("<IMETHODRESPONSE/>"), "missing attribute NAME on IMETHODRESPONSE"},
        MalformedCase{"illegal method name", R, wrap("<IMETHODRESPONSE NAME=\"a b\"/>"), "illegal method name"},
        MalformedCase{"stray text", R, wrap("<IMETHODRESPONSE NAME=\"X\">hello</IMETHODRESPONSE>"), "unexpected text"},
        MalformedCase{"element after ERROR", R,
                      wrap("<IMETHODRESPONSE NAME=\"X\"><ERROR CODE=\"1\"/><IRETURNVALUE/></IMETHODRESPONSE>"),
                      "after ERROR"},
        MalformedCase{"ERROR code not a number", R, wrap("<IMETHODRESPONSE NAME=\"X\"><ERROR CODE=\"six\"/></IMETHODRESPONSE>"),
                      "invalid CODE"},
        MalformedCase{"ERROR without code", R, wrap("<IMETHODRESPONSE NAME=\"X\"><ERROR/></IMETHODRESPONSE>"),
                      "missing attribute CODE"}));

INSTANTIATE_TEST_SUITE_P(
    Results, MalformedDocument,
    ::testing::Values(
        MalformedCase{"unknown result element", R,
                      wrap("<IMETHODRESPONSE NAME=\"X\"><IRETURNVALUE><FOO/></IRETURNVALUE></IMETHODRESPONSE>"),
                      "unexpected FOO in IRETURNVALUE"},
        MalformedCase{"mixed result kinds", R,
                      wrap("<IMETHODRESPONSE NAME=\"X\"><IRETURNVALUE><CLASSNAME NAME=\"A\"/><INSTANCENAME CLASSNAME=\"A\"/></IRETURNVALUE></IMETHODRESPONSE>"),
                      "mixes CLASSNAME and INSTANCENAME"},
        MalformedCase{"named instance without instance", R,
                      wrap("<IMETHODRESPONSE NAME=\"X\"><IRETURNVALUE><VALUE.NAMEDINSTANCE><INSTANCENAME CLASSNAME=\"A\"/></VALUE.NAMEDINSTANCE></IRETURNVALUE></IMETHODRESPONSE>"),
                      "missing INSTANCE in VALUE.NAMEDINSTANCE"},
        MalformedCase{"object with path: class path and instance", R,
                      wrap("<IMETHODRESPONSE NAME=\"X\"><IRETURNVALUE><VALUE.OBJECTWITHPATH><CLASSPATH><NAMESPACEPATH><HOST>h</HOST><LOCALNAMESPACEPATH><NAMESPACE NAME=\"r\"/></LOCALNAMESPACEPATH></NAMESPACEPATH><CLASSNAME NAME=\"A\"/></CLASSPATH><INSTANCE CLASSNAME=\"A\"/></VALUE.OBJECTWITHPATH></IRETURNVALUE></IMETHODRESPONSE>"),
                      "expected CLASS, found INSTANCE"},
        MalformedCase{"namespace path without namespace", R,
                      wrap("<IMETHODRESPONSE NAME=\"X\"><IRETURNVALUE><INSTANCEPATH><NAMESPACEPATH><HOST>h</HOST><LOCALNAMESPACEPATH/></NAMESPACEPATH><INSTANCENAME CLASSNAME=\"A\"/></INSTANCEPATH></IRETURNVALUE></IMETHODRESPONSE>"),
                      "LOCALNAMESPACEPATH without NAMESPACE"},
        MalformedCase{"host with a slash", R,
                      wrap("<IMETHODRESPONSE NAME=\"X\"><IRETURNVALUE><INSTANCEPATH><NAMESPACEPATH><HOST>a/b</HOST><LOCALNAMESPACEPATH><NAMESPACE NAME=\"r\"/></LOCALNAMESPACEPATH></NAMESPACEPATH><INSTANCENAME CLASSNAME=\"A\"/></INSTANCEPATH></IRETURNVALUE></IMETHODRESPONSE>"),
                      "in HOST"},
        MalformedCase{"return value in an intrinsic response", R,
                      wrap("<IMETHODRESPONSE NAME=\"X\"><RETURNVALUE/></IMETHODRESPONSE>"),
                      "expected PARAMVALUE, found RETURNVALUE"}));

INSTANTIATE_TEST_SUITE_P(
    Values, MalformedDocument,
    ::testing::Values(
        MalformedCase{"instance without class", R,
                      wrap("<IMETHODRESPONSE NAME=\"X\"><IRETURNVALUE><INSTANCE/></IRETURNVALUE></IMETHODRESPONSE>"),
                      "missing attribute CLASSNAME on INSTANCE"},
        MalformedCase{"property without TYPE", R, getInstance("<PROPERTY NAME=\"P\"/>"), "missing attribute TYPE"},
        MalformedCase{"unknown TYPE", R, getInstance("<PROPERTY NAME=\"P\" TYPE=\"uint128\"/>"), "unknown TYPE"},
        MalformedCase{"TYPE reference on PROPERTY", R, getInstance("<PROPERTY NAME=\"P\" TYPE=\"reference\"/>"),
                      "TYPE reference"},
        MalformedCase{"illegal property name", R, getInstance("<PROPERTY NAME=\"9lives\" TYPE=\"string\"/>"),
                      "illegal name"},
        MalformedCase{"duplicate property", R,
                      getInstance("<PROPERTY NAME=\"P\" TYPE=\"string\"/><PROPERTY NAME=\"p\" TYPE=\"string\"/>"),
                      "duplicate property"},
        MalformedCase{"uint8 out of range", R, getInstance(property("uint8", "256")), "invalid uint8 value"},
        MalformedCase{"sint64 out of range", R, getInstance(property("sint64", "9223372036854775808")),
                      "invalid sint64"},
        MalformedCase{"uint32 garbage", R, getInstance(property("uint32", "12 monkeys")), "invalid uint32"},
        MalformedCase{"negative unsigned", R, getInstance(property("uint16", "-1")), "invalid uint16"},
        MalformedCase{"empty number", R, getInstance(property("uint16", "")), "invalid uint16"},
        MalformedCase{"real garbage", R, getInstance(property("real64", "1.2.3")), "invalid real64"},
        MalformedCase{"boolean yes", R, getInstance(property("boolean", "yes")), "invalid boolean"},
        MalformedCase{"char16 two characters", R, getInstance(property("char16", "ab")), "invalid char16"},
        MalformedCase{"datetime too short", R, getInstance(property("datetime", "20240101")), "invalid CIM datetime"},
        MalformedCase{"datetime wildcard in the middle", R,
                      getInstance(property("datetime", "2024**01000000.000000+000")), "invalid CIM datetime"},
        MalformedCase{"interval not ending :000", R,
                      getInstance(property("datetime", "00000001000000.000000:100")), "interval"},
        MalformedCase{"invalid UTF-8", R, getInstance(property("string", "caf\xC3")), "invalid UTF-8"},
        MalformedCase{"overlong UTF-8", R, getInstance(property("string", "\xC0\xBC")), "invalid UTF-8"},
        MalformedCase{"control character reference", R, getInstance(property("string", "a&#1;b")),
                      "control character"},
        MalformedCase{"NUL character reference", R, getInstance(property("string", "a&#0;b")), "NUL"},
        MalformedCase{"NUL reference in hex with leading zeros", R, getInstance(property("string", "a&#x0000;b")),
                      "NUL"},
        MalformedCase{"NUL reference in an attribute", R,
                      wrap("<IMETHODRESPONSE NAME=\"X&#00;Y\"><IRETURNVALUE/></IMETHODRESPONSE>"), "NUL"},
        MalformedCase{"NUL reference after a CDATA section", R,
                      getInstance(property("string", "<![CDATA[&#0;]]>&#0;")), "NUL"},
        MalformedCase{"NUL reference in an embedded instance", R,
                      getInstance("<PROPERTY NAME=\"E\" TYPE=\"string\" EmbeddedObject=\"instance\"><VALUE>"
                                  "&lt;INSTANCE CLASSNAME=\"C\"&gt;&lt;PROPERTY NAME=\"S\" TYPE=\"string\"&gt;"
                                  "&lt;VALUE&gt;a&amp;#0;b&lt;/VALUE&gt;&lt;/PROPERTY&gt;&lt;/INSTANCE&gt;"
                                  "</VALUE></PROPERTY>"),
                      "NUL"},
        MalformedCase{"raw control character", R, getInstance(property("string", "a\x02" "b")),
                      "control character"},
        MalformedCase{"C1 control", R, getInstance(property("string", "a\xC2\x9B" "b")), "control character"},
        MalformedCase{"element inside VALUE", R, getInstance(property("string", "<B/>")), "unexpected B in VALUE"},
        MalformedCase{"text in INSTANCE", R, getInstance("oops"), "unexpected text in INSTANCE"},
        MalformedCase{"VALUE.ARRAY in PROPERTY", R,
                      getInstance("<PROPERTY NAME=\"P\" TYPE=\"string\"><VALUE.ARRAY/></PROPERTY>"),
                      "expected VALUE, found VALUE.ARRAY"},
        MalformedCase{"two values", R,
                      getInstance("<PROPERTY NAME=\"P\" TYPE=\"string\"><VALUE>a</VALUE><VALUE>b</VALUE></PROPERTY>"),
                      "unexpected VALUE in PROPERTY"},
        MalformedCase{"garbage in VALUE.ARRAY", R,
                      getInstance("<PROPERTY.ARRAY NAME=\"P\" TYPE=\"uint8\"><VALUE.ARRAY><VALUE>1</VALUE><X/></VALUE.ARRAY></PROPERTY.ARRAY>"),
                      "expected VALUE, found X"},
        MalformedCase{"bad array element", R,
                      getInstance("<PROPERTY.ARRAY NAME=\"P\" TYPE=\"uint8\"><VALUE.ARRAY><VALUE>1</VALUE><VALUE>x</VALUE></VALUE.ARRAY></PROPERTY.ARRAY>"),
                      "invalid uint8"},
        MalformedCase{"empty VALUE.REFERENCE", R,
                      getInstance("<PROPERTY.REFERENCE NAME=\"R\"><VALUE.REFERENCE/></PROPERTY.REFERENCE>"),
                      "missing content in VALUE.REFERENCE"},
        MalformedCase{"reference to a non-path", R,
                      getInstance("<PROPERTY.REFERENCE NAME=\"R\"><VALUE.REFERENCE><VALUE>x</VALUE></VALUE.REFERENCE></PROPERTY.REFERENCE>"),
                      "where a reference was expected"},
        MalformedCase{"bad PROPAGATED", R,
                      getInstance("<PROPERTY NAME=\"P\" TYPE=\"string\" PROPAGATED=\"yes\"/>"), "PROPAGATED"},
        MalformedCase{"unknown EmbeddedObject", R,
                      getInstance("<PROPERTY NAME=\"P\" TYPE=\"string\" EmbeddedObject=\"thing\"><VALUE>x</VALUE></PROPERTY>"),
                      "neither \"instance\" nor \"object\""},
        MalformedCase{"EmbeddedObject on a number", R,
                      getInstance("<PROPERTY NAME=\"P\" TYPE=\"uint8\" EmbeddedObject=\"object\"/>"),
                      "EmbeddedObject on PROPERTY"},
        MalformedCase{"embedded text that is not XML", R,
                      getInstance("<PROPERTY NAME=\"P\" TYPE=\"string\" EmbeddedObject=\"object\"><VALUE>hello</VALUE></PROPERTY>"),
                      "malformed XML"},
        MalformedCase{"embedded named instance", R,
                      getInstance("<PROPERTY NAME=\"P\" TYPE=\"string\" EmbeddedObject=\"instance\"><VALUE>&lt;VALUE.NAMEDINSTANCE/&gt;</VALUE></PROPERTY>"),
                      "expected INSTANCE as the embedded object"},
        MalformedCase{"embedded instance that is a class", R,
                      getInstance("<PROPERTY NAME=\"P\" TYPE=\"string\" EmbeddedObject=\"instance\"><VALUE>&lt;CLASS NAME=\"A\"/&gt;</VALUE></PROPERTY>"),
                      "holds a CLASS"},
        MalformedCase{"embedded objects nested too deeply", R, nestedEmbedded(40), "nested too deeply"},
        MalformedCase{"reference keys nested too deeply", R, nestedReferences(40), "nested too deeply"}));

INSTANTIATE_TEST_SUITE_P(
    Keys, MalformedDocument,
    ::testing::Values(
        MalformedCase{"numeric key that is no number", R,
                      instanceName("<KEYBINDING NAME=\"K\"><KEYVALUE VALUETYPE=\"numeric\">abc</KEYVALUE></KEYBINDING>"),
                      "does not match its type"},
        MalformedCase{"boolean key yes", R,
                      instanceName("<KEYBINDING NAME=\"K\"><KEYVALUE VALUETYPE=\"boolean\">yes</KEYVALUE></KEYBINDING>"),
                      "does not match its type"},
        MalformedCase{"unknown VALUETYPE", R,
                      instanceName("<KEYBINDING NAME=\"K\"><KEYVALUE VALUETYPE=\"date\">x</KEYVALUE></KEYBINDING>"),
                      "unknown VALUETYPE"},
        MalformedCase{"empty KEYBINDING", R, instanceName("<KEYBINDING NAME=\"K\"/>"), "missing content in KEYBINDING"},
        MalformedCase{"two values in KEYBINDING", R,
                      instanceName("<KEYBINDING NAME=\"K\"><KEYVALUE>a</KEYVALUE><KEYVALUE>b</KEYVALUE></KEYBINDING>"),
                      "unexpected KEYVALUE in KEYBINDING"},
        MalformedCase{"unnamed key after named ones", R,
                      instanceName("<KEYBINDING NAME=\"K\"><KEYVALUE>a</KEYVALUE></KEYBINDING><KEYVALUE>b</KEYVALUE>"),
                      "unexpected KEYVALUE in INSTANCENAME"},
        MalformedCase{"bad UTF-8 in a key", R,
                      instanceName("<KEYBINDING NAME=\"K\"><KEYVALUE>\xFF</KEYVALUE></KEYBINDING>"), "invalid UTF-8"}));

INSTANTIATE_TEST_SUITE_P(
    MethodsAndExports, MalformedDocument,
    ::testing::Values(
        MalformedCase{"return value of the wrong type", R,
                      wrap("<METHODRESPONSE NAME=\"M\"><RETURNVALUE PARAMTYPE=\"uint16\"><VALUE>70000</VALUE></RETURNVALUE></METHODRESPONSE>"),
                      "invalid uint16"},
        MalformedCase{"reference out parameter holding VALUE", R,
                      wrap("<METHODRESPONSE NAME=\"M\"><PARAMVALUE NAME=\"Job\" PARAMTYPE=\"reference\"><VALUE>x</VALUE></PARAMVALUE></METHODRESPONSE>"),
                      "VALUE for a reference"},
        MalformedCase{"instance in a uint8 parameter", R,
                      wrap("<METHODRESPONSE NAME=\"M\"><PARAMVALUE NAME=\"P\" PARAMTYPE=\"uint8\"><INSTANCE CLASSNAME=\"A\"/></PARAMVALUE></METHODRESPONSE>"),
                      "INSTANCE in PARAMVALUE of type uint8"},
        MalformedCase{"unknown PARAMTYPE", R,
                      wrap("<METHODRESPONSE NAME=\"M\"><PARAMVALUE NAME=\"P\" PARAMTYPE=\"blob\"/></METHODRESPONSE>"),
                      "unknown PARAMTYPE"},
        MalformedCase{"request without namespace", Reader::Request,
                      wrap("<IMETHODCALL NAME=\"GetInstance\"/>", "SIMPLEREQ"), "without LOCALNAMESPACEPATH"},
        MalformedCase{"method call without target", Reader::Request,
                      wrap("<METHODCALL NAME=\"M\"><LOCALNAMESPACEPATH><NAMESPACE NAME=\"r\"/></LOCALNAMESPACEPATH></METHODCALL>", "SIMPLEREQ"),
                      "expected LOCALINSTANCEPATH or LOCALCLASSPATH"},
        MalformedCase{"two calls", Reader::Request,
                      wrap("<IMETHODCALL NAME=\"A\"/><IMETHODCALL NAME=\"B\"/>", "SIMPLEREQ"), "unexpected IMETHODCALL"},
        MalformedCase{"export request without call", Reader::ExportRequest, wrap("", "SIMPLEEXPREQ"),
                      "empty SIMPLEEXPREQ"},
        MalformedCase{"export parameter holding a class", Reader::ExportRequest,
                      wrap("<EXPMETHODCALL NAME=\"ExportIndication\"><EXPPARAMVALUE NAME=\"NewIndication\"><CLASS NAME=\"A\"/></EXPPARAMVALUE></EXPMETHODCALL>", "SIMPLEEXPREQ"),
                      "expected INSTANCE, found CLASS"},
        MalformedCase{"export parameter without name", Reader::ExportRequest,
                      wrap("<EXPMETHODCALL NAME=\"ExportIndication\"><EXPPARAMVALUE/></EXPMETHODCALL>", "SIMPLEEXPREQ"),
                      "missing attribute NAME on EXPPARAMVALUE"},
        MalformedCase{"export response with a result", Reader::ExportResponse,
                      wrap("<EXPMETHODRESPONSE NAME=\"ExportIndication\"><IRETURNVALUE><VALUE>x</VALUE></IRETURNVALUE></EXPMETHODRESPONSE>", "SIMPLEEXPRSP"),
                      "unexpected IRETURNVALUE"}));

} // namespace
} // namespace cim
