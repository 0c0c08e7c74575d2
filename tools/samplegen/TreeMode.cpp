#include "TreeMode.h"

#include <QDir>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QSaveFile>
#include <QtEndian>
#include <cstdio>

#include "SampleDocument.h"

namespace tbx::samplegen {
namespace {

bool WriteFile(const QString& path, const QByteArray& bytes) {
  QDir().mkpath(QFileInfo(path).absolutePath());
  QSaveFile file(path);
  if (file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.commit()) return true;
  std::fprintf(stderr, "%s kann nicht geschrieben werden\n", qPrintable(path));
  return false;
}

bool WriteManifest(const QString& path, const QJsonObject& manifest) {
  return path.isEmpty() || WriteFile(path, QJsonDocument(manifest).toJson(QJsonDocument::Indented));
}

// Damage of the kinds users meet (cut-off copies, files of other programs
// with a CAD extension) and of the kinds only a hostile file has.
QByteArray Damage(QByteArray file, Random& random, QString* how) {
  const char* const kinds[] = {"truncated", "signature", "empty", "garbage", "sector_shift", "directory_loop"};
  *how = QString::fromLatin1(random.Pick(kinds));
  if (*how == u"truncated") return file.left(random.Below(int(file.size())));
  if (*how == u"signature") file[0] = 'X';
  if (*how == u"empty") return QByteArray();
  if (*how == u"garbage") {
    QByteArray junk(random.Between(1, 3000), Qt::Uninitialized);
    for (char& c : junk) c = char(random.Next());
    return junk;
  }
  if (*how == u"sector_shift") file[0x1E] = 10;
  if (*how == u"directory_loop") {
    // The directory chain's FAT entry points back at the directory sector.
    const quint32 fat = qFromLittleEndian<quint32>(file.constData() + 0x4C);
    const quint32 dir = qFromLittleEndian<quint32>(file.constData() + 0x30);
    qToLittleEndian(dir, file.data() + (qsizetype(fat) + 1) * 512 + 4 * qsizetype(dir));
  }
  return file;
}

const char* const kKinds[] = {"par", "psm", "asm", "dft"};
const char* const kFolderNames[] = {"Projekte",    "Kunde Müller", "Baugruppe.V2",         "Archiv 2019",
                                    "Normteile",   "Entwürfe",     "Release 1.0",          "Zeichnungen",
                                    "Lieferanten", ".versteckt",   "Alt (nicht verwenden)"};
const char* const kBaseNames[] = {
    "Welle",   "Gehäuse", "Flansch",          "Lagerschild",          "Zahnrad", "Rahmen", "Deckel",
    "Bracket", "Mount",   "Spannvorrichtung", "Teil mit Leerzeichen", "Blech-01"};

bool IsHidden(const QString& relative) {
  for (const QString& part : relative.split(u'/'))
    if (part.startsWith(u'.')) return true;
  return false;
}

}  // namespace

int WriteOneDocument(const QString& path, const QString& kind, quint64 seed, const QString& manifest) {
  Random random(seed);
  const SampleDocument doc = MakeDocument(random, kind, 1);
  if (!WriteFile(path, BuildFile(doc))) return 1;
  QJsonObject entry = DescribeDocument(doc);
  entry.insert("path", QFileInfo(path).fileName());
  entry.insert("role", "document");
  return WriteManifest(manifest, QJsonObject{{"seed", QString::number(seed)}, {"files", QJsonArray{entry}}}) ? 0 : 1;
}

int WriteTree(const QString& root, int count, quint64 seed, const QString& manifest) {
  Random random(seed);
  QStringList folders{QString()};
  const int folderCount = 1 + count / 8;
  while (folders.size() < folderCount + 1) {
    const QString parent = random.Chance(40) ? QString() : folders[random.Below(int(folders.size()))];
    if (parent.count(u'/') >= 4) continue;
    const QString folder = (parent.isEmpty() ? QString() : parent + u'/') +
                           QString::fromUtf8(random.Pick(kFolderNames)) + QStringLiteral(" %1").arg(folders.size());
    folders << folder;
  }
  QJsonArray files;
  auto add = [&](const QString& relative, const QByteArray& bytes, QJsonObject entry) {
    entry.insert("path", relative);
    entry.insert("hidden", IsHidden(relative));
    files.append(entry);
    return WriteFile(root + u'/' + relative, bytes);
  };
  for (int i = 0; i < count; ++i) {
    const QString folder = folders[random.Below(int(folders.size()))];
    const QString kind = QString::fromLatin1(random.Pick(kKinds));
    // A few documents carry their extension in capitals, as copies from old systems do.
    const QString extension = random.Chance(3) ? kind.toUpper() : kind;
    QString name =
        QString::fromUtf8(random.Pick(kBaseNames)) + QStringLiteral("_%1.").arg(i, 5, 10, QChar(u'0')) + extension;
    if (random.Chance(2)) name.prepend(u'.');
    const QString relative = folder.isEmpty() ? name : folder + u'/' + name;
    const SampleDocument doc = MakeDocument(random, kind, i);
    QByteArray bytes = BuildFile(doc);
    QJsonObject entry = DescribeDocument(doc);
    entry.insert("extension", extension);
    if (random.Chance(3)) {
      QString how;
      bytes = Damage(bytes, random, &how);
      entry = QJsonObject{{"role", "damaged"}, {"damage", how}, {"kind", kind}, {"extension", extension}};
    } else {
      entry.insert("role", "document");
    }
    if (!add(relative, bytes, entry)) return 1;
  }
  const char* const distractors[] = {"Notizen.txt", "Stückliste.xlsx", "README",     "Teil.par.bak",
                                     "Kopie.pdf",   "Makefile",        "Welle.par~", "Baugruppe.asmx"};
  for (int i = 0; i < 1 + count / 5; ++i) {
    const QString folder = folders[random.Below(int(folders.size()))];
    const QString name = QStringLiteral("%1_").arg(i) + QString::fromUtf8(random.Pick(distractors));
    const QString relative = folder.isEmpty() ? name : folder + u'/' + name;
    if (!add(relative, QByteArray("kein CAD-Dokument\n"), QJsonObject{{"role", "distractor"}})) return 1;
  }
  return WriteManifest(manifest, QJsonObject{{"seed", QString::number(seed)}, {"files", files}}) ? 0 : 1;
}

}  // namespace tbx::samplegen
