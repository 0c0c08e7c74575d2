#include <QCoreApplication>
#include <cstdio>
#include <cstring>

#include "common/PathHelpers.h"

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--version") == 0) {
      std::printf("%s\n", tbx::TitleAndVersion().toUtf8().constData());
      return 0;
    }
  }
  std::fprintf(stderr, "Aufruf: tabellix-batch [KONFIGURATIONSDATEI]\n");
  return 1;
}
