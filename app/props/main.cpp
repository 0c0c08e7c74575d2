// tabellix-props [--] FILE [NAME...] | --aliases: shows what the document
// reader sees in a CAD document, for people writing a configuration. Without
// names it lists every property set and property; with names it prints
// NAME<TAB>VALUE per name, the value exactly as the reader returns it.
#include <QCoreApplication>
#include <QStringList>
#include <cstdio>

#include "common/CommandLine.h"
#include "docprops/PropsTool.h"
#include "platform/Process.h"

int main(int argc, char** argv) {
  tbx::PrepareStandardStreams();
  QCoreApplication app(argc, argv);
  return tbx::RunPropsTool(tbx::CommandLineArguments(argc, argv), stdout, stderr);
}
