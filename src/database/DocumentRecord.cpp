#include "common/CellValue.h"
#include "common/ConfigKeys.h"
#include "common/PathHelpers.h"
#include "common/TextForm.h"
#include "database/modDatabase.h"
#include "common/RunError.h"

namespace tbx {
namespace {

// The reference metadata describe the columns of this class: the documents.
constexpr int kDocumentClass = 5;

// The first non-NULL value of a field called name (several fields of a join
// may share a name) as a cell takes it: std::nullopt when there is none or
// when the value has no text form.
std::optional<CellValue> FirstFieldValue(const RecordSet& record, const QString& name) {
  for (int i = 0; i < record.FieldCount(); ++i) {
    if (record.FieldName(i).compare(name, Qt::CaseInsensitive) != 0) continue;
    const QVariant value = record.Value(i);
    if (!value.isValid()) continue;
    if (!ValueText(value)) return std::nullopt;
    return CellValueOf(value);
  }
  return std::nullopt;
}

// The text of the named field of the first record of statement; std::nullopt
// for every failure (query error, no record, NULL, no text form): a failing
// step gives the raw value and the run goes on. Not so a lost connection: it
// throws RunError with the driver's description, or the row would show ids
// where the database holds names, and the next document's query would end
// the run without the reason.
std::optional<QString> FirstValueOf(DatabaseConnection& db, const QString& statement, const QString& field) {
  std::optional<QueryRecord> found;
  QString error;
  if (!db.FirstRecord(statement, found, error)) {
    if (db.Lost()) throw RunError(kErrDatabase, error);
    return std::nullopt;
  }
  if (!found) return std::nullopt;
  const RecordSet result(std::move(*found));
  return ValueText(result.Value(result.FieldIndex(field)));
}

}  // namespace

std::optional<RecordSet> FindDocumentRecord(Dialogs& dialogs, DatabaseConnection& db, const QString& path,
                                            const ProfileSnapshot& config) {
  const QString statement = BuildQuery(dialogs, QString::fromLatin1(ini::kSql), config);
  if (statement.isEmpty()) return std::nullopt;
  return QueryFirstRecord(db, DocumentStatement(statement, path));
}

std::optional<RecordSet> QueryFirstRecord(DatabaseConnection& db, const QString& statement) {
  std::optional<QueryRecord> found;
  QString error;
  if (!db.FirstRecord(statement, found, error)) throw RunError(kErrDatabase, error);
  if (!found) return std::nullopt;
  return RecordSet(std::move(*found));
}

QString RecordFieldName(const QString& mappedName, bool* reference) {
  const bool marked = mappedName.startsWith(QLatin1String("r:"), Qt::CaseInsensitive);
  if (reference) *reference = marked;
  return marked ? mappedName.mid(2) : mappedName;
}

CellValue GetRecordValue(DatabaseConnection& db, const RecordSet& record, const QString& fieldName,
                         ReferenceCache& cache) {
  bool reference = false;
  const QString name = RecordFieldName(fieldName, &reference);
  std::optional<CellValue> value = FirstFieldValue(record, name);
  if (!value) return CellValue{};
  // A reference shows the name of what it points to, a text whatever the
  // field's own type.
  return reference ? TextCell(ResolveReferenceValue(db, name, value->text, cache)) : std::move(*value);
}

QString ReferencedTable(DatabaseConnection& db, const QString& fieldName) {
  // The values go into the statements as they are: a field name with a quote
  // in it makes the first query fail, which gives the raw value.
  const QString refClass =
      FirstValueOf(db,
                   QStringLiteral("SELECT REF_CLASS_ID FROM ulvo.KRV_CLASS_DESCRIPTION WHERE CLASS_ID=%1 AND "
                                  "LOWER(COL_NAME)='%2'")
                       .arg(kDocumentClass)
                       .arg(fieldName.toLower()),
                   QStringLiteral("REF_CLASS_ID"))
          .value_or(QString());
  if (refClass.isEmpty()) return QString();
  return FirstValueOf(db, QStringLiteral("SELECT TABLE_NAME FROM ulvo.KRV_CLASS WHERE CLASS_ID=") + refClass,
                      QStringLiteral("TABLE_NAME"))
      .value_or(QString());
}

QString ResolveReferenceValue(DatabaseConnection& db, const QString& fieldName, const QString& rawValue,
                              ReferenceCache& cache) {
  std::optional<QString> table = cache.Table(fieldName);
  if (!table) {
    table = ReferencedTable(db, fieldName);
    cache.SetTable(fieldName, *table);
  }
  if (table->isEmpty()) return rawValue;
  if (std::optional<QString> text = cache.Text(*table, rawValue)) return *text;
  // Users are shown by their login name, every other object by its description.
  const QString column = table->toLower() == u"users" ? QStringLiteral("LOGIN") : QStringLiteral("DESCRIPTION");
  const QString text = FirstValueOf(db,
                                    QStringLiteral("SELECT ") + column + QStringLiteral(" FROM ulvo.") + *table +
                                        QStringLiteral(" WHERE OBJECT_ID=") + rawValue,
                                    column)
                           .value_or(rawValue);
  cache.SetText(*table, rawValue, text);
  return text;
}

}  // namespace tbx
