// What orvcim prints of values a peer chose: control characters never start lines of their own.
#include <gtest/gtest.h>

#include <sstream>

#include "CIMTextPrinter.h"
#include "IndicationPrinter.h"
#include "cim/listener/CIMIndicationConsumer.h"

namespace orvcim {
namespace {

std::vector<std::string> linesOf(const std::string& text)
{
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

const std::string kForged = "ok\r\n  Forged : string = \"x\"";

TEST(CIMTextPrinterEscaping, QuotedEscapesLineBreaksTabsAndOtherControls)
{
    EXPECT_EQ(CIMTextPrinter::quoted("a\r\nb\tc"), "\"a\\r\\nb\\tc\"");
    EXPECT_EQ(CIMTextPrinter::quoted(std::string("a\x1b[2Jb\x7f", 7)), "\"a\\x1b[2Jb\\x7f\"");
    EXPECT_EQ(CIMTextPrinter::quoted("say \"hi\" \\ bye"), "\"say \\\"hi\\\" \\\\ bye\"");
    // UTF-8 beyond ASCII is printed as it is.
    EXPECT_EQ(CIMTextPrinter::quoted("\xc3\xa9t\xc3\xa9"), "\"\xc3\xa9t\xc3\xa9\"");
}

TEST(CIMTextPrinterEscaping, StringPropertiesAndArraysStayOnTheirLine)
{
    cim::CIMInstance instance("CIM_X");
    instance.addProperty(cim::CIMProperty("Caption", cim::CIMValue(kForged)));
    instance.addProperty(cim::CIMProperty("Names", cim::CIMValue(std::vector<std::string>{"a\nb", "c"})));
    std::ostringstream out;
    CIMTextPrinter(out).printInstance(instance);
    const auto lines = linesOf(out.str());
    ASSERT_EQ(lines.size(), 4u) << out.str();
    EXPECT_EQ(lines[1], "  Caption : string = \"ok\\r\\n  Forged : string = \\\"x\\\"\"");
    EXPECT_EQ(lines[2], "  Names : string[] = {\"a\\nb\",\"c\"}");
}

TEST(CIMTextPrinterEscaping, KeyValuesInPathsAndConfirmationsAreEscaped)
{
    cim::CIMObjectPath path;
    path.setClassName("CIM_X");
    path.addKeyBinding(cim::CIMKeyBinding("Id", kForged, cim::CIMKeyBinding::Type::String));
    std::ostringstream out;
    CIMTextPrinter printer(out);
    printer.printPath(path);
    printer.printLine("created " + path.toString());
    cim::CIMInstance instance("CIM_X");
    instance.setPath(path);
    printer.printInstance(instance);
    const auto lines = linesOf(out.str());
    ASSERT_EQ(lines.size(), 6u) << out.str();
    EXPECT_EQ(lines[0].find('\r'), std::string::npos);
    EXPECT_NE(lines[0].find("ok\\r\\n  Forged"), std::string::npos) << lines[0];
    EXPECT_EQ(lines[2].rfind("created ", 0), 0u);
    EXPECT_NE(lines[4].find("\\r\\n"), std::string::npos) << lines[4];
}

TEST(CIMTextPrinterEscaping, IndicationHeaderEscapesMessageIdAndUrl)
{
    std::ostringstream out;
    IndicationPrinter printer(out);
    cim::CIMIndicationContext context;
    context.messageId = "7\nindication to /CIMListener/x from 10.0.0.1";
    cim::CIMInstance indication("CIM_AlertIndication");
    indication.addProperty(cim::CIMProperty("Message", cim::CIMValue(std::string("boom\r\n"))));
    printer.consumeIndication(context, "/a\rb", indication);
    const auto lines = linesOf(out.str());
    ASSERT_EQ(lines.size(), 4u) << out.str();
    EXPECT_NE(lines[0].find("/a\\rb"), std::string::npos) << lines[0];
    EXPECT_NE(lines[0].find("\"7\\nindication to"), std::string::npos) << lines[0];
    EXPECT_EQ(lines[2], "  Message : string = \"boom\\r\\n\"");
}

} // namespace
} // namespace orvcim
