#include "cim/value/CIMInstance.h"

namespace cim {

bool operator==(const CIMInstance& a, const CIMInstance& b) {
    return a.m_className == b.m_className && a.m_path.identical(b.m_path) &&
           static_cast<const CIMPropertyContainer&>(a) == static_cast<const CIMPropertyContainer&>(b);
}

} // namespace cim
