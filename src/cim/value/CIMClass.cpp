#include "cim/value/CIMClass.h"

namespace cim {

bool operator==(const CIMClass& a, const CIMClass& b) {
    return a.m_className == b.m_className && a.m_superClassName == b.m_superClassName &&
           a.m_path.identical(b.m_path) &&
           static_cast<const CIMPropertyContainer&>(a) == static_cast<const CIMPropertyContainer&>(b);
}

} // namespace cim
