// Instances and documents shared by the CIM-XML codec tests.
#pragma once

#include <limits>
#include <ostream>
#include <string>

#include "cim/value/CIMInstance.h"
#include "cim/value/CIMObject.h"
#include "cim/xml/CIMXmlCodec.h"
#include "cim/xml/CIMXmlError.h"

namespace cim {

// Failures print messages as their CIM-XML.
template <typename Message, typename Encode>
void printEncoded(const Message& message, Encode encode, std::ostream* os) {
    try {
        *os << encode(message);
    } catch (const CIMXmlError& e) {
        *os << "(not encodable: " << e.what() << ")";
    }
}
inline void PrintTo(const CIMRequest& m, std::ostream* os) { printEncoded(m, encodeRequest, os); }
inline void PrintTo(const CIMResponse& m, std::ostream* os) { printEncoded(m, encodeResponse, os); }
inline void PrintTo(const CIMExportRequest& m, std::ostream* os) { printEncoded(m, encodeExportRequest, os); }
inline void PrintTo(const CIMExportResponse& m, std::ostream* os) { printEncoded(m, encodeExportResponse, os); }
inline void PrintTo(const CIMInstance& m, std::ostream* os) { printEncoded(m, encodeInstanceElement, os); }
inline void PrintTo(const CIMProperty& p, std::ostream* os) { *os << p.getName() << "=" << p.getValue(); }

} // namespace cim

namespace cim::testdata {

// Text with every character class XML treats specially.
inline const std::string kAwkwardText = "a&b<c>d\"e'f\r\ng\th ]]> \xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80";

inline CIMObjectPath volumePath(const std::string& id) {
    return CIMObjectPath("//array1/root/snia:CIM_StorageVolume.DeviceID=\"" + id +
                         "\",SystemName=\"ar\\\"ray\"");
}

// An instance with every CIM type as scalar, array and null, awkward strings, extremes,
// references (one with reference keys) and embedded objects two levels deep.
inline CIMInstance everyTypeInstance() {
    CIMInstance inner("CIM_Inner");
    inner.addProperty(CIMProperty("Text", CIMValue(kAwkwardText)));
    CIMInstance middle("CIM_Middle");
    middle.addProperty(CIMProperty("Inner", CIMValue(inner)));
    middle.addProperty(CIMProperty("Objects", CIMValue(std::vector<CIMObject>{CIMObject(inner)})));

    CIMValue nullElements(std::vector<uint16_t>{1, 0, 3});
    nullElements.setNullElements({false, true, false});

    const CIMObjectPath association("root/snia:CIM_Assoc.Antecedent=\"" +
                                    std::string("CIM_X.K=1") + "\",Dependent=\"CIM_Y.K=\\\"y\\\"\"");
    CIMClass cimClass("CIM_Class", "CIM_Base");
    cimClass.addProperty(CIMProperty("Default", CIMValue(uint8_t{4})));

    CIMInstance i("CIM_Everything");
    i.addProperty(CIMProperty("B", CIMValue(true), "CIM_Base", true));
    i.addProperty(CIMProperty("U8", CIMValue(std::numeric_limits<uint8_t>::max())));
    i.addProperty(CIMProperty("S8", CIMValue(std::numeric_limits<int8_t>::min())));
    i.addProperty(CIMProperty("U16", CIMValue(uint16_t{65535})));
    i.addProperty(CIMProperty("S16", CIMValue(int16_t{-32768})));
    i.addProperty(CIMProperty("U32", CIMValue(std::numeric_limits<uint32_t>::max())));
    i.addProperty(CIMProperty("S32", CIMValue(std::numeric_limits<int32_t>::min())));
    i.addProperty(CIMProperty("U64", CIMValue(std::numeric_limits<uint64_t>::max())));
    i.addProperty(CIMProperty("S64", CIMValue(std::numeric_limits<int64_t>::min())));
    i.addProperty(CIMProperty("R32", CIMValue(std::numeric_limits<float>::denorm_min())));
    i.addProperty(CIMProperty("R64", CIMValue(0.1 + 0.2)));
    i.addProperty(CIMProperty("R64Max", CIMValue(std::numeric_limits<double>::max())));
    i.addProperty(CIMProperty("R64NegZero", CIMValue(-0.0)));
    i.addProperty(CIMProperty("Reals", CIMValue(std::vector<double>{
        std::numeric_limits<double>::infinity(), -std::numeric_limits<double>::infinity(),
        std::numeric_limits<double>::quiet_NaN(), 1e-300})));
    i.addProperty(CIMProperty("C16", CIMValue(u'\u20AC')));
    i.addProperty(CIMProperty("C16Amp", CIMValue(u'&')));
    i.addProperty(CIMProperty("Str", CIMValue(kAwkwardText)));
    i.addProperty(CIMProperty("Blank", CIMValue(" ")));
    i.addProperty(CIMProperty("Empty", CIMValue(std::string())));
    i.addProperty(CIMProperty("NullStr", CIMValue(CIMType::String, false)));
    i.addProperty(CIMProperty("NullU64Array", CIMValue(CIMType::Uint64, true)));
    i.addProperty(CIMProperty("EmptyArray", CIMValue(std::vector<std::string>{})));
    i.addProperty(CIMProperty("Strings", CIMValue(std::vector<std::string>{"", " ", kAwkwardText})));
    i.addProperty(CIMProperty("WithNulls", nullElements));
    i.addProperty(CIMProperty("Bools", CIMValue(std::vector<bool>{true, false})));
    i.addProperty(CIMProperty("S8s", CIMValue(std::vector<int8_t>{-1, 127})));
    i.addProperty(CIMProperty("C16s", CIMValue(std::vector<char16_t>{u'a', u'<'})));
    i.addProperty(CIMProperty("Time", CIMValue(CIMDateTime("20240131235959.123456-300"))));
    i.addProperty(CIMProperty("Wild", CIMValue(CIMDateTime("2024013123****.******+000"))));
    i.addProperty(CIMProperty("Times", CIMValue(std::vector<CIMDateTime>{
        CIMDateTime("00000001020304.000005:000")})));
    i.addProperty(CIMProperty("Ref", CIMValue(volumePath("v\\1")), {}, false, "CIM_StorageVolume"));
    i.addProperty(CIMProperty("LocalRef", CIMValue(CIMObjectPath("root/snia:CIM_X.K=TRUE"))));
    i.addProperty(CIMProperty("NameRef", CIMValue(CIMObjectPath("CIM_X.K=-5"))));
    i.addProperty(CIMProperty("ClassRef", CIMValue(CIMObjectPath("//h/root:CIM_X"))));
    i.addProperty(CIMProperty("AssocRef", CIMValue(association)));
    i.addProperty(CIMProperty("NullRef", CIMValue(CIMType::Reference, false)));
    i.addProperty(CIMProperty("Embedded", CIMValue(middle)));
    i.addProperty(CIMProperty("EmbeddedClass", CIMValue(CIMObject(cimClass))));
    i.addProperty(CIMProperty("EmbeddedList", CIMValue(std::vector<CIMInstance>{inner, middle})));
    i.addProperty(CIMProperty("NullEmbedded", CIMValue(CIMType::Instance, false)));
    return i;
}

} // namespace cim::testdata
