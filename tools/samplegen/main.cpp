// tbx-samplegen: sample compound files for tests, the demo and benchmarks.
//
//   tbx-samplegen streams OUT NAME:SIZE...
//       a compound file with one root stream per argument; byte k of the j-th
//       stream is (k*7 + j*13 + k/251) & 0xFF
#include <QCoreApplication>
#include <QStringList>
#include <cstdio>

#include "StreamsMode.h"

namespace {

const char kUsage[] =
    "Aufruf:\n"
    "  tbx-samplegen streams AUSGABE NAME:GRÖSSE...\n";

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  QStringList args = app.arguments().mid(1);
  const QString mode = args.isEmpty() ? QString() : args.takeFirst();
  if (mode == u"streams") return tbx::samplegen::RunStreamsMode(args);
  std::fputs(kUsage, mode == u"--help" ? stdout : stderr);
  return mode == u"--help" ? 0 : 2;
}
