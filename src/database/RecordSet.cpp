#include "database/RecordSet.h"

namespace tbx {

int RecordSet::FieldIndex(const QString& name) const {
  for (int i = 0; i < FieldCount(); ++i)
    if (record_.names[i].compare(name, Qt::CaseInsensitive) == 0) return i;
  return -1;
}

}  // namespace tbx
