#pragma once

// What ModifyInstance may change, per class and property, and how the change reaches the
// array's state. Only properties whose value differs from the stored one count, so a
// client may send back a whole instance with one property changed (as the client library
// does).
//
// Writable: a volume's or target's "ElementName", a CHAP "Secret" (empty or 12 to 16
// characters), a target's authentication methods (3 none or 5 CHAP, shown and set on both its
// session and its connection settings) and its other session and connection settings, a job's "Priority", the array name ("Name" of the redundant
// pair, "ElementName" of the top system), a volume's host-facing settings (VolumeSettings),
// an initiator's "ElementName", the non-key
// properties of the management port, iSCSI, iSNS, IP and TCP settings, and the non-key
// properties of indication handlers, filters and subscriptions.
//
// A read-only property whose value differs is ignored when the client sent the whole
// instance (no property list): the array applies what is writable and leaves the rest, so
// a client can write one property of a live object whose other values have moved on.
// Named in a property list, a read-only property is a request to change it and refused.
//
// Refusals are CIM errors: a property the class does not have CIM_ERR_NO_SUCH_PROPERTY, a
// value of another type CIM_ERR_TYPE_MISMATCH, a changed key or a read-only property named
// in the property list CIM_ERR_NOT_SUPPORTED, a value the array does not accept
// CIM_ERR_INVALID_PARAMETER or, for a conflict with other objects, CIM_ERR_FAILED with the
// array's text.

#include "sim/ArrayModel.h"

#include "cim/value/CIMInstance.h"
#include "cim/value/CIMPropertyList.h"

namespace Merrow::Sim {

class InstanceModifier {
public:
    // Throws cim::CIMException. Unknown, mistyped, key and named read-only properties are
    // found before anything changes; a value check that fails stops at that property.
    static void modify(ModelTransaction& transaction, const StoredObject& object, const cim::CIMInstance& modified,
                       const cim::CIMPropertyList& propertyList);
};

} // namespace Merrow::Sim
