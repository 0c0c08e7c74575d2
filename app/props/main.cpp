#include <QCoreApplication>
#include <cstdio>

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  std::fprintf(stderr, "Aufruf: tabellix-props DATEI [NAME...]\n");
  return 1;
}
