// Runs a fuzz target over saved inputs without libFuzzer, so that every test
// run replays the seed corpus and every input that once crashed a parser.
// Arguments are files or folders (every file in them).
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cstdio>

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, size_t size);

namespace {

bool Replay(const QString& path) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) {
    std::fprintf(stderr, "cannot read %s\n", qPrintable(path));
    return false;
  }
  const QByteArray bytes = file.readAll();
  LLVMFuzzerTestOneInput(reinterpret_cast<const unsigned char*>(bytes.constData()), size_t(bytes.size()));
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  int replayed = 0;
  bool ok = true;
  for (int i = 1; i < argc; ++i) {
    const QString arg = QString::fromLocal8Bit(argv[i]);
    QStringList files{arg};
    if (QFileInfo(arg).isDir()) {
      files.clear();
      for (const QFileInfo& f : QDir(arg).entryInfoList(QDir::Files | QDir::Hidden, QDir::Name)) files << f.filePath();
    }
    for (const QString& f : files) {
      ok = Replay(f) && ok;
      ++replayed;
    }
  }
  std::printf("%d inputs replayed\n", replayed);
  return ok && replayed > 0 ? 0 : 1;
}
