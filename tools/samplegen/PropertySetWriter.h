#pragma once
// Writes property-set streams for sample documents: the counterpart of the
// product's parser, kept apart from it so that the two cannot share a mistake.
#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QUuid>
#include <QVariant>
#include <vector>

#include "propset/PropertySetParser.h"  // the variant type numbers

namespace tbx::samplegen {

// One property as the sample generator stores it. value holds a QString
// (strings), qint64 (integers, VT_BOOL as 0/1), double (VT_R4, VT_R8, VT_CY,
// VT_DATE as days), quint64 (VT_FILETIME ticks), QStringList (vectors of
// strings or variants of VT_LPSTR) or QByteArray (VT_BLOB, VT_CF).
struct SampleProperty {
  quint32 id = 0;
  QString name;  // written to the dictionary when not empty
  quint16 type = 0;
  QVariant value;
  QString textDe;  // what a German reader must show; "" for no text form
};

struct SampleSection {
  QString setName;
  QUuid formatId;
  quint16 codePage = 1252;
  std::vector<SampleProperty> properties;
};

// One stream with its sections in order.
QByteArray WritePropertySetStream(const std::vector<SampleSection>& sections);

}  // namespace tbx::samplegen
