#pragma once
// The property sets a CAD document may hold: how they are recognised (by the
// format identifier in their section header), the order in which they are
// listed and the English names of their properties.
#include <QString>
#include <QUuid>

namespace tbx {

struct KnownPropertySet;

// The known set with that format identifier, or nullptr.
const KnownPropertySet* FindKnownSet(const QUuid& formatId);

// The known sets in listing order, rank 0 .. KnownSetCount() - 1.
int KnownSetCount();
const KnownPropertySet& KnownSetAt(int rank);

// Position of a known set in the listing order (0 = first).
int KnownSetRank(const KnownPropertySet& set);
QString KnownSetName(const KnownPropertySet& set);
// The stream that holds the set, with its leading character 0x05 (the
// user-defined properties share the stream of the document summary).
QString KnownSetStreamName(const KnownPropertySet& set);
QUuid KnownSetFormatId(const KnownPropertySet& set);

// The English name of a property of a known set, "" when it has none.
QString BuiltInPropertyName(const KnownPropertySet& set, quint32 id);

// The identifier whose English name equals name without regard to case;
// false when the set has no such name.
bool BuiltInPropertyId(const KnownPropertySet& set, const QString& name, quint32* id);

}  // namespace tbx
