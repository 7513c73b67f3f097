// The response reader fed a text as it arrives: items come out before the text ends, the
// text held stays small whatever the number of items, and every fault gives the error of
// the whole document, wherever the text is cut.
#include <gtest/gtest.h>

#include "CIMXmlResponseBothWays.h"
#include "cim/xml/CIMXmlCodec.h"
#include "cim/xml/CIMXmlError.h"

namespace cim {
namespace {

std::string enumerate(const std::string& list, const std::string& after = "") {
    return "<?xml version=\"1.0\" encoding=\"utf-8\" ?>\n"
           "<CIM CIMVERSION=\"2.0\" DTDVERSION=\"2.0\"><MESSAGE ID=\"4\" PROTOCOLVERSION=\"1.0\"><SIMPLERSP>"
           "<IMETHODRESPONSE NAME=\"EnumerateInstances\"><IRETURNVALUE>\n" +
           list + "\n</IRETURNVALUE>" + after + "</IMETHODRESPONSE></SIMPLERSP></MESSAGE></CIM>\n";
}

std::string named(int id, const std::string& value = "x") {
    const std::string key = std::to_string(id);
    return "<VALUE.NAMEDINSTANCE><INSTANCENAME CLASSNAME=\"CIM_V\"><KEYBINDING NAME=\"ID\">"
           "<KEYVALUE VALUETYPE=\"string\">" + key + "</KEYVALUE></KEYBINDING></INSTANCENAME>"
           "<INSTANCE CLASSNAME=\"CIM_V\"><PROPERTY NAME=\"ID\" TYPE=\"string\"><VALUE>" + key +
           "</VALUE></PROPERTY><PROPERTY NAME=\"N\" TYPE=\"uint8\"><VALUE>" + value +
           "</VALUE></PROPERTY></INSTANCE></VALUE.NAMEDINSTANCE>\n";
}

std::string namedList(int count) {
    std::string list;
    for (int i = 0; i < count; ++i) {
        list += named(i, std::to_string(i % 200));
    }
    return list;
}

std::string errorOf(const std::string& xml) {
    try {
        decodeResponse(xml);
    } catch (const std::exception& e) {
        return e.what();
    }
    return {};
}

struct Fed {
    std::vector<std::string> ids; // of the items handed out, in order
    std::size_t mostHeld = 0;
    std::size_t handedOutBeforeTheEnd = 0;
    std::string error;
};

// Feeds `xml` in pieces of `piece` bytes.
Fed feedInPieces(const std::string& xml, std::size_t piece, std::size_t maxHeld = CIMXmlResponseStream::kDefaultMaxHeldBytes) {
    Fed fed;
    CIMXmlResponseStream stream([](const CIMResponse&) {},
                                [&](CIMResponse& item) { fed.ids.push_back(item.instances.at(0).getPath().toString()); },
                                maxHeld);
    try {
        for (std::size_t at = 0; at < xml.size(); at += piece) {
            stream.feed(std::string_view(xml).substr(at, piece));
            fed.mostHeld = std::max(fed.mostHeld, stream.heldBytes());
        }
        fed.handedOutBeforeTheEnd = stream.itemsHandedOut();
        stream.finish();
    } catch (const std::exception& e) {
        fed.error = e.what();
    }
    return fed;
}

TEST(CIMXmlResponseStream, HandsOutItemsAsTheyArriveHoldingAboutOneItemAndOnePiece) {
    const std::size_t piece = 4096;
    for (const int count : {2000, 20000}) {
        const std::string xml = enumerate(namedList(count));
        const Fed fed = feedInPieces(xml, piece);
        ASSERT_EQ(fed.error, "");
        ASSERT_EQ(fed.ids.size(), static_cast<std::size_t>(count));
        EXPECT_EQ(fed.ids.back(), "CIM_V.ID=\"" + std::to_string(count - 1) + "\"");
        EXPECT_EQ(fed.handedOutBeforeTheEnd, static_cast<std::size_t>(count)) << "all items before finish()";
        // The start of the document, the first item, a piece and what is left of the one before.
        EXPECT_LT(fed.mostHeld, 3 * piece) << count << " items";
    }
}

TEST(CIMXmlResponseStream, FaultInALaterItemComesAfterTheItemsBeforeIt) {
    const std::string xml = enumerate(namedList(5) + named(5, "256") + namedList(3));
    const Fed fed = feedInPieces(xml, 100);
    EXPECT_EQ(fed.ids.size(), 5u);
    EXPECT_FALSE(fed.error.empty());
    EXPECT_EQ(fed.error, errorOf(xml));
}

TEST(CIMXmlResponseStream, MalformedEndAfterManyItemsGivesTheOffsetInTheWholeText) {
    const std::string xml =
        enumerate(namedList(40), "<PARAMVALUE NAME=\"N\" PARAMTYPE=\"uint32\"><VALUE>7</VALUE></PARAMVALU>");
    const std::string whole = errorOf(xml);
    ASSERT_NE(whole.find("at byte "), std::string::npos) << whole;
    const Fed fed = feedInPieces(xml, 333);
    EXPECT_EQ(fed.ids.size(), 40u);
    EXPECT_EQ(fed.error, whole);
    readResponseBothWays(xml);
}

TEST(CIMXmlResponseStream, ItemsAfterALayoutThatIsNotPlainComeOnceAndInOrder) {
    const std::string xml = enumerate(namedList(30) + "<!-- a note -->" + namedList(30));
    const Fed fed = feedInPieces(xml, 512);
    ASSERT_EQ(fed.error, "");
    ASSERT_EQ(fed.ids.size(), 60u);
    EXPECT_EQ(fed.ids[29], "CIM_V.ID=\"29\"");
    EXPECT_EQ(fed.ids[30], "CIM_V.ID=\"0\"");
    EXPECT_GE(fed.handedOutBeforeTheEnd, 20u) << "the items before the comment came as they arrived";
    EXPECT_LT(fed.handedOutBeforeTheEnd, 60u);
}

TEST(CIMXmlResponseStream, TextHeldBeyondTheLimitIsRefusedByName) {
    const std::string notPlain = enumerate("<!-- first -->" + namedList(200));
    const Fed refused = feedInPieces(notPlain, 1000, 16 * 1024);
    EXPECT_NE(refused.error.find("more than 16384 bytes of the reply held at once"), std::string::npos)
        << refused.error;
    EXPECT_TRUE(refused.ids.empty());
    const std::string hugeItem = enumerate(named(1, std::string(40000, '7')));
    EXPECT_NE(feedInPieces(hugeItem, 1000, 16 * 1024).error.find("bytes of the reply held at once"), std::string::npos);
    const Fed plain = feedInPieces(enumerate(namedList(200)), 1000, 16 * 1024);
    EXPECT_EQ(plain.error, "");
    EXPECT_EQ(plain.ids.size(), 200u);
}

// Every cut of the text, as a connection lost part way would leave it.
TEST(CIMXmlResponseStream, TextCutAnywhereReadsAsTheWholeDocumentDoes) {
    const std::string xml =
        enumerate(namedList(4), "<PARAMVALUE NAME=\"N\" PARAMTYPE=\"uint32\"><VALUE>7</VALUE></PARAMVALUE>");
    for (std::size_t cut = 0; cut <= xml.size(); cut += 3) {
        const std::string text = xml.substr(0, cut);
        const ResponseOutcome whole = readResponse(text, CIMXmlResponseReader::Mode::WholeDocument);
        expectSameOutcome(readResponseStreamed(text, 40, static_cast<unsigned>(cut)), whole, text,
                          "cut at " + std::to_string(cut));
    }
}

TEST(CIMXmlResponseStream, ErrorReplyGivesTheHeadWithTheError) {
    const std::string xml =
        "<CIM CIMVERSION=\"2.0\" DTDVERSION=\"2.0\"><MESSAGE ID=\"4\" PROTOCOLVERSION=\"1.0\"><SIMPLERSP>"
        "<IMETHODRESPONSE NAME=\"EnumerateInstances\"><ERROR CODE=\"6\" DESCRIPTION=\"gone\"/></IMETHODRESPONSE>"
        "</SIMPLERSP></MESSAGE></CIM>";
    int heads = 0;
    CIMXmlResponseStream stream([&](const CIMResponse& head) {
        ++heads;
        ASSERT_TRUE(head.error);
        EXPECT_EQ(static_cast<int>(head.error->code), 6);
    },
                                [](CIMResponse&) { ADD_FAILURE() << "no items"; });
    stream.feed(xml);
    const CIMResponse response = stream.finish();
    EXPECT_EQ(heads, 1);
    ASSERT_TRUE(response.error);
    EXPECT_EQ(response.error->description, "gone");
}

} // namespace
} // namespace cim
