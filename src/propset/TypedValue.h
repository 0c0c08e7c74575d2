#pragma once
// Decoding of one typed property value (used by the property-set parser).
#include "cfb/ByteCursor.h"
#include "propset/PropertySetParser.h"

namespace tbx {

// Checks the typed value at the cursor (the start of a value inside its
// section) and moves past it; gives its type and, when value is not null,
// its decoded value (see FileProperty::Value).
ParseStatus ReadTypedValue(ByteCursor& cursor, quint16 codePage, quint16* type, QVariant* value);

}  // namespace tbx
