#pragma once

#include "cim/value/CIMInstance.h"
#include "cim/value/CIMObject.h"
#include "cim/value/CIMObjectPath.h"
#include "cim/value/CIMParamValue.h"

#include <ostream>
#include <string>
#include <vector>

namespace orvcim {

// Writes CIM objects for people, one block per object and an empty line after each block:
//
//   root/snia:CIM_StorageVolume.DeviceID="v1",SystemName="array1"
//     DeviceID : string = "v1"
//     OperationalStatus : uint16[] = {2,5}
//     SourceInstance : instance =
//       instance of CIM_StorageVolume
//         DeviceID : string = "v1"
//
// Strings are quoted with \" and \\ escaped; null values and elements read NULL. Control
// characters anywhere a peer chose the text (values, key values in paths) are written as
// \n, \r, \t or \xNN, so every line printed is one the printer started.
class CIMTextPrinter {
public:
    explicit CIMTextPrinter(std::ostream& out);

    // The header line is the path when the instance has one, else "instance of <class>".
    void printInstance(const cim::CIMInstance& instance);
    void printObject(const cim::CIMObject& object);
    void printPath(const cim::CIMObjectPath& path);
    // The path alone on its line, for lists of names.
    void printPathLine(const cim::CIMObjectPath& path);
    // A method result: the return value, then the out parameters.
    void printMethodResult(const cim::CIMValue& returnValue, const std::vector<cim::CIMParamValue>& outParameters);
    // One line and an empty one, for confirmations such as "deleted <path>".
    void printLine(const std::string& text);

    static std::string quoted(const std::string& text);
    // The text with its control characters escaped, for text printed without quotes.
    static std::string printable(const std::string& text);

private:
    void printProperties(const cim::CIMInstance& instance, int depth);
    void printValueLine(const std::string& name, const cim::CIMValue& value, int depth);
    void printValue(const cim::CIMValue& value, int depth);
    void printEmbedded(const cim::CIMValue& value, int depth);
    static std::string valueText(const cim::CIMValue& value);
    std::string& indent(int depth);
    void writeBlock();

    std::ostream& m_out;
    std::string m_block; // the block being printed; its memory serves every block
};

} // namespace orvcim
