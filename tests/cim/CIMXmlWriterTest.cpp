#include "cim/xml/CIMXmlWriter.h"

#include <gtest/gtest.h>

#include "cim/xml/CIMXmlError.h"

namespace cim {
namespace {

struct EscapeCase {
    const char* input;
    const char* asText;
    const char* asAttribute;
    friend void PrintTo(const EscapeCase& c, std::ostream* os) { *os << c.asText; }
};

class WriterEscaping : public ::testing::TestWithParam<EscapeCase> {};

TEST_P(WriterEscaping, EscapesForTextAndAttributes) {
    const EscapeCase& c = GetParam();
    std::string out;
    CIMXmlWriter writer(out);
    writer.startElement("E");
    writer.attribute("A", c.input);
    writer.text(c.input);
    writer.endElement();
    EXPECT_EQ(out, std::string("<E A=\"") + c.asAttribute + "\">" + c.asText + "</E>");
}

INSTANTIATE_TEST_SUITE_P(
    Table, WriterEscaping,
    ::testing::Values(EscapeCase{"plain", "plain", "plain"},
                      EscapeCase{"a&b<c>d", "a&amp;b&lt;c&gt;d", "a&amp;b&lt;c&gt;d"},
                      EscapeCase{"q\"q'", "q\"q'", "q&quot;q'"},
                      EscapeCase{"t\tn\nr\r", "t\tn\nr&#13;", "t&#9;n&#10;r&#13;"},
                      EscapeCase{"]]>", "]]&gt;", "]]&gt;"},
                      EscapeCase{"\xC3\xA9\xF0\x9F\x98\x80", "\xC3\xA9\xF0\x9F\x98\x80", "\xC3\xA9\xF0\x9F\x98\x80"},
                      EscapeCase{"", "", ""}));

TEST(CIMXmlWriter, SelfClosesEmptyElementsAndFinishesOpenOnes) {
    std::string out;
    CIMXmlWriter writer(out);
    writer.startElement("A");
    writer.startElement("B");
    writer.endElement();
    writer.startElement("C");
    writer.attribute("N", "1");
    writer.startElement("D");
    writer.finish();
    EXPECT_EQ(out, "<A><B/><C N=\"1\"><D/></C></A>");
}

TEST(CIMXmlWriter, RefusesTextXmlCannotCarry) {
    for (const char* bad : {"\x01", "x\x1Fy", "\x7F", "\xC2\x80", "\xC2\x9F", "\xEF\xBF\xBE", "\xEF\xBF\xBF",
                            "\xC3", "\xE2\x82", "\xF8\x88\x80\x80\x80", "\xF4\x90\x80\x80", "\xC1\xBF",
                            "\xE0\x80\xAF", "\xED\xBF\xBF", "\x80"}) {
        std::string out;
        CIMXmlWriter writer(out);
        writer.startElement("E");
        EXPECT_THROW(writer.text(bad), CIMXmlError) << testing::PrintToString(std::string(bad));
        EXPECT_THROW(writer.attribute("A", bad), CIMXmlError);
    }
    std::string out;
    CIMXmlWriter writer(out);
    writer.startElement("E");
    EXPECT_NO_THROW(writer.text("\xC2\xA0\xEF\xBF\xBD\xF4\x8F\xBF\xBF"));  // NBSP, U+FFFD, U+10FFFF
}

} // namespace
} // namespace cim
