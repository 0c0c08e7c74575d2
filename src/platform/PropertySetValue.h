#pragma once
// Decoding of one typed property value (used by the property-set parser).
#include "platform/CompoundFileCursor.h"
#include "platform/PropertySetParser.h"

namespace tbx {

// Reads the type and value at the cursor (the start of a value inside its
// section) into property->type and property->value.
ReadStatus ReadTypedValue(ByteCursor& cursor, quint16 codePage, RawProperty* property);

}  // namespace tbx
