#pragma once
// Property sets (MS-OLEPS): the document properties of a compound file, in
// root streams whose names begin with the character 0x05. A stream holds one
// or two sections, each with a format identifier (FMTID) that names the set,
// a table of property identifiers and offsets, a code page in property 1, an
// optional dictionary of names in property 0, and typed values (strings in
// the code page or UTF-16, integers, reals, dates, Booleans, vectors, ...).
//
// Public operations:
//   FilePropertySets::Open(ByteSource)      every set of a document, known sets first
//   FilePropertySets::Count/Item(i)         the sets in listing order
//   FilePropertySet::Item(name)             a property by dictionary or English name
//   FilePropertySet::PropertyName(p)        a property's dictionary or English name
//   FileProperty::Value()                   the decoded value (a QVariant)
//   ParsePropertySetStream(...)             one stream, checked as hostile input
//   DecodePropertyValue(...)                one value of a parsed section
//   FindKnownSet, BuiltInPropertyName/Id    the known sets and their English names
//   DecodeCodePage(...)                     text in a section's code page
//
// Values become text in common/TextForm.h; the library itself knows nothing
// of runs or the file system.
#include "propset/CodePage.h"
#include "propset/FilePropertySets.h"
#include "propset/KnownPropertySets.h"
#include "propset/PropertySetParser.h"
