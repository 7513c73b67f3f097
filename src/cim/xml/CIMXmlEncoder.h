// CIMXmlEncoder: writes CIM objects as DSP0201 elements.
#pragma once

#include <string>

#include "cim/xml/CIMError.h"
#include "cim/value/CIMInstance.h"
#include "cim/value/CIMObject.h"
#include "cim/value/CIMParamValue.h"
#include "cim/value/CIMValue.h"
#include "cim/xml/CIMXmlWriter.h"

namespace cim {

/// Writes values, paths, instances and message parts through a CIMXmlWriter, element by
/// element, with DSP0201 names. The message-level functions of CIMXmlCodec.h build whole
/// documents from these. Throws CIMXmlError for text that XML cannot carry and for values
/// CIM-XML cannot express (an array of references as a property, a path that lacks the
/// namespace its element requires).
class CIMXmlEncoder {
public:
    explicit CIMXmlEncoder(CIMXmlWriter& writer) : m_writer(writer) {}

    /// <?xml ...?><CIM CIMVERSION="2.0" DTDVERSION="2.0"><MESSAGE ID=.. PROTOCOLVERSION="1.0">
    void beginMessage(const std::string& messageId);
    void endMessage() { m_writer.finish(); }

    void writeInstance(const CIMInstance& instance);
    void writeClass(const CIMClass& cimClass);
    /// INSTANCE or CLASS.
    void writeObject(const CIMObject& object);
    void writeProperty(const CIMProperty& property);
    /// VALUE, VALUE.ARRAY, VALUE.REFERENCE or VALUE.REFARRAY by the value; nothing for null.
    /// Embedded objects go into VALUE as escaped XML.
    void writeValue(const CIMValue& value);

    void writeClassName(const CIMName& className);
    void writeInstanceName(const CIMObjectPath& path);
    void writeLocalNamespacePath(const CIMNamespaceName& nameSpace);
    void writeNamespacePath(const CIMObjectPath& path);
    void writeInstancePath(const CIMObjectPath& path);
    void writeLocalInstancePath(const CIMObjectPath& path);
    void writeClassPath(const CIMObjectPath& path);
    void writeLocalClassPath(const CIMObjectPath& path);
    /// OBJECTPATH with INSTANCEPATH for a path with keys, CLASSPATH otherwise.
    void writeObjectPath(const CIMObjectPath& path);
    /// VALUE.REFERENCE with the most complete form the path allows: INSTANCEPATH or
    /// CLASSPATH with host and namespace, LOCAL... with a namespace only, else INSTANCENAME
    /// or CLASSNAME (CIM-XML has no form for a host without a namespace; it is left out).
    void writeValueReference(const CIMObjectPath& path);

    void writeNamedInstance(const CIMInstance& instance);
    void writeInstanceWithPath(const CIMInstance& instance);
    void writeValueObject(const CIMObject& object);
    void writeObjectWithPath(const CIMObject& object);
    void writeObjectWithLocalPath(const CIMObject& object);

    void writeParamValue(const CIMParamValue& param);
    void writeIParamValue(const CIMParamValue& param);
    void writeReturnValue(const CIMValue& value);
    void writeExpParamValue(const CIMParamValue& param);
    void writeError(const CIMError& error);

private:
    void writeScalarValue(const CIMValue& value);
    void writeArrayValue(const CIMValue& value);
    void writeEmbeddedObjectText(const CIMObject& object);
    void writeKeyBinding(const CIMKeyBinding& key);
    void writeKeyValue(const CIMKeyBinding& key);
    void writeTypeAttributes(const char* typeAttribute, const CIMValue& value);
    void writeGenericIParamContent(const CIMValue& value);
    CIMObjectPath pathWithClass(const CIMObjectPath& path, const CIMName& className) const;

    CIMXmlWriter& m_writer;
    std::string m_scratch;
    int m_embeddedDepth = 0;
};

} // namespace cim
