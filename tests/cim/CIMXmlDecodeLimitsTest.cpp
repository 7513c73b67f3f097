// Limits that keep decoding hostile messages linear: indexed property look-ups, the nesting
// and element bounds checked before any tree is built, and the property bound of one instance.
#include <gtest/gtest.h>

#include <string>

#include "cim/value/CIMInstance.h"
#include "cim/value/CIMValueError.h"
#include "cim/xml/CIMXmlCodec.h"
#include "cim/xml/CIMXmlDecoder.h"
#include "cim/xml/CIMXmlError.h"
#include "cim/xml/CIMXmlResponseReader.h"
#include "cim/xml/CIMXmlShapeCheck.h"

namespace cim {
namespace {

std::string wrapResponse(const std::string& returnValue) {
    return "<CIM CIMVERSION=\"2.0\" DTDVERSION=\"2.0\"><MESSAGE ID=\"1\" PROTOCOLVERSION=\"1.0\"><SIMPLERSP>"
           "<IMETHODRESPONSE NAME=\"GetInstance\"><IRETURNVALUE>" +
           returnValue + "</IRETURNVALUE></IMETHODRESPONSE></SIMPLERSP></MESSAGE></CIM>";
}

std::string propertiesNamed(size_t count, const std::string& prefix = "P") {
    std::string text;
    for (size_t i = 0; i < count; ++i) {
        text += "<PROPERTY NAME=\"" + prefix + std::to_string(i) + "\" TYPE=\"uint32\"><VALUE>" + std::to_string(i) +
                "</VALUE></PROPERTY>";
    }
    return text;
}

std::string instanceResponse(const std::string& properties) {
    return wrapResponse("<INSTANCE CLASSNAME=\"CIM_X\">" + properties + "</INSTANCE>");
}

std::string nested(size_t depth) {
    std::string text;
    for (size_t i = 0; i < depth; ++i) {
        text += "<A>";
    }
    for (size_t i = 0; i < depth; ++i) {
        text += "</A>";
    }
    return text;
}

// --- property look-ups through the index ---

TEST(CIMPropertyIndex, FindsEveryPropertyOfALargeInstanceCaseInsensitively) {
    CIMInstance instance("CIM_X");
    for (uint32_t i = 0; i < 5000; ++i) {
        instance.addProperty(CIMProperty("Prop" + std::to_string(i), CIMValue(i)));
    }
    for (uint32_t i = 0; i < 5000; i += 7) {
        ASSERT_EQ(instance.findProperty("PROP" + std::to_string(i)), i);
    }
    EXPECT_EQ(instance.findProperty("Prop5000"), CIMPropertyContainer::npos);
}

TEST(CIMPropertyIndex, DuplicateDifferingInCaseIsRefusedAmongMany) {
    CIMInstance instance("CIM_X");
    for (uint32_t i = 0; i < 20000; ++i) {
        instance.addProperty(CIMProperty("p" + std::to_string(i), CIMValue(i)));
    }
    EXPECT_THROW(instance.addProperty(CIMProperty("P19999", CIMValue(1u))), CIMValueError);
    EXPECT_THROW(instance.addProperty(CIMProperty("p0", CIMValue(1u))), CIMValueError);
    EXPECT_EQ(instance.getPropertyCount(), 20000u);
}

TEST(CIMPropertyIndex, RemovalKeepsLookupsRightForTheMovedProperties) {
    CIMInstance instance("CIM_X");
    for (uint32_t i = 0; i < 40; ++i) {
        instance.addProperty(CIMProperty("P" + std::to_string(i), CIMValue(i)));
    }
    instance.removeProperty(3);
    EXPECT_EQ(instance.findProperty("P3"), CIMPropertyContainer::npos);
    EXPECT_EQ(instance.findProperty("P4"), 3u);
    EXPECT_EQ(instance.getPropertyValue("P39").get<uint32_t>(), 39u);
    // Shrinking below the indexed size goes back to scanning, with the same answers.
    while (instance.getPropertyCount() > 2) {
        instance.removeProperty(0);
    }
    EXPECT_EQ(instance.findProperty("p39"), 1u);
    instance.addProperty(CIMProperty("P3", CIMValue(3u)));
    EXPECT_EQ(instance.findProperty("P3"), 2u);
}

TEST(CIMPropertyIndex, SetPropertyValueReplacesInsteadOfAppendingWhenIndexed) {
    CIMInstance instance("CIM_X");
    for (uint32_t i = 0; i < 30; ++i) {
        instance.setPropertyValue("P" + std::to_string(i), CIMValue(i));
    }
    instance.setPropertyValue("p17", CIMValue(1700u));
    EXPECT_EQ(instance.getPropertyCount(), 30u);
    EXPECT_EQ(instance.getPropertyValue("P17").get<uint32_t>(), 1700u);
}

// --- the shape check before parsing ---

TEST(CIMXmlShapeCheck, RefusesNestingBeyondTheLimitAndTakesItUpToIt) {
    EXPECT_NO_THROW(CIMXmlShapeCheck::check(nested(CIMXmlShapeCheck::kMaxDepth)));
    EXPECT_EQ(CIMXmlShapeCheck::measure(nested(CIMXmlShapeCheck::kMaxDepth)).depth, CIMXmlShapeCheck::kMaxDepth);
    EXPECT_THROW(CIMXmlShapeCheck::check(nested(CIMXmlShapeCheck::kMaxDepth + 1)), CIMXmlError);
}

TEST(CIMXmlShapeCheck, SiblingsAndEmptyElementsDoNotAddDepth) {
    std::string siblings;
    for (int i = 0; i < 1000; ++i) {
        siblings += i % 2 ? "<B/>" : "<B x='1'></B>";
    }
    const CIMXmlShapeCheck::Shape shape = CIMXmlShapeCheck::measure("<A>" + siblings + "</A>");
    EXPECT_EQ(shape.elements, 1001u);
    EXPECT_EQ(shape.depth, 2u);
}

TEST(CIMXmlShapeCheck, MarkupThatIsNotAnElementIsNotCounted) {
    const std::string text = "<?xml version=\"1.0\"?><!-- <X><X> --><A v=\"<B>\" w='/>'>"
                             "<![CDATA[<C><C><C>]]></A>";
    const CIMXmlShapeCheck::Shape shape = CIMXmlShapeCheck::measure(text);
    EXPECT_EQ(shape.elements, 1u);
    EXPECT_EQ(shape.depth, 1u);
}

TEST(CIMXmlShapeCheck, RefusesMoreElementsThanOneMessageMayHold) {
    std::string many = "<A>";
    many.reserve((CIMXmlShapeCheck::kMaxElements + 2) * 4);
    for (size_t i = 0; i < CIMXmlShapeCheck::kMaxElements; ++i) {
        many += "<B/>";
    }
    EXPECT_THROW(CIMXmlShapeCheck::check(many + "</A>"), CIMXmlError);
    many.resize(many.size() - 4);
    EXPECT_NO_THROW(CIMXmlShapeCheck::check(many + "</A>"));
}

// --- the decoders use the limits ---

TEST(CIMXmlDecodeLimits, DeeplyNestedReplyIsRefusedByBothReaders) {
    const std::string deep = wrapResponse(nested(200000));
    EXPECT_THROW(decodeResponse(deep), CIMXmlError);
    CIMXmlResponseReader reader(deep);
    try {
        reader.readHead();
        FAIL() << "a reply nested 200,000 levels deep was read";
    } catch (const CIMXmlError& e) {
        EXPECT_NE(std::string(e.what()).find("nested"), std::string::npos) << e.what();
    }
}

TEST(CIMXmlDecodeLimits, DeeplyNestedItemsOfAPlainListAreRefused) {
    std::string items;
    for (int i = 0; i < 5000; ++i) {
        items += "<INSTANCENAME CLASSNAME=\"C\">";
    }
    CIMXmlResponseReader reader(wrapResponse(items));
    EXPECT_THROW(reader.readAll(), CIMXmlError);
}

TEST(CIMXmlDecodeLimits, InstanceWithTooManyPropertiesIsRefusedAndOneAtTheLimitRead) {
    EXPECT_THROW(decodeResponse(instanceResponse(propertiesNamed(CIMXmlDecoder::kMaxProperties + 1))), CIMXmlError);
    const CIMResponse response = decodeResponse(instanceResponse(propertiesNamed(CIMXmlDecoder::kMaxProperties)));
    ASSERT_EQ(response.instances.size(), 1u);
    EXPECT_EQ(response.instances.front().getPropertyCount(), CIMXmlDecoder::kMaxProperties);
}

TEST(CIMXmlDecodeLimits, DuplicatePropertyIsStillFoundAmongManyInAReply) {
    const std::string properties = propertiesNamed(10000) + propertiesNamed(1, "p");
    EXPECT_THROW(decodeResponse(instanceResponse(properties)), CIMXmlError);
    EXPECT_THROW(decodeExportRequest(
                     "<CIM CIMVERSION=\"2.0\" DTDVERSION=\"2.0\"><MESSAGE ID=\"1\" PROTOCOLVERSION=\"1.0\">"
                     "<SIMPLEEXPREQ><EXPMETHODCALL NAME=\"ExportIndication\"><EXPPARAMVALUE NAME=\"NewIndication\">"
                     "<INSTANCE CLASSNAME=\"CIM_Alert\">" +
                     properties + "</INSTANCE></EXPPARAMVALUE></EXPMETHODCALL></SIMPLEEXPREQ></MESSAGE></CIM>"),
                 CIMXmlError);
}

// Text that only looks like a reference to NUL is not one, and is kept whole.
TEST(CIMXmlNulReference, LookAlikesInCdataCommentsAndEscapedTextAreKept) {
    const CIMResponse response = decodeResponse(instanceResponse(
        "<!-- &#0; --><PROPERTY NAME=\"A\" TYPE=\"string\"><VALUE><![CDATA[x&#0;y]]></VALUE></PROPERTY>"
        "<PROPERTY NAME=\"B\" TYPE=\"string\"><VALUE>x&amp;#0;y&#10;</VALUE></PROPERTY>"
        "<PROPERTY NAME=\"C\" TYPE=\"string\"><VALUE>&#x30;&#48;</VALUE></PROPERTY>"));
    ASSERT_EQ(response.instances.size(), 1u);
    const CIMInstance& instance = response.instances.front();
    EXPECT_EQ(instance.getPropertyValue("A").get<std::string>(), "x&#0;y");
    EXPECT_EQ(instance.getPropertyValue("B").get<std::string>(), "x&#0;y\n");
    EXPECT_EQ(instance.getPropertyValue("C").get<std::string>(), "00");
}

} // namespace
} // namespace cim
