#include "common/CommandLine.h"

#include <cstdio>

#include "common/PathHelpers.h"

namespace tbx {

void Complain(const char* program, const QString& text) {
  std::fprintf(stderr, "%s: %s\n", program, text.toLocal8Bit().constData());
  std::fflush(stderr);
}

ProgramArguments ParseProgramArguments(const QStringList& args, const char* program, const char* usage,
                                       const QStringList& switches, int maxOperands) {
  ProgramArguments result;
  bool optionsEnded = false;
  for (const QString& arg : args) {
    if (!optionsEnded && (arg == QLatin1String("-h") || arg == QLatin1String("--help"))) {
      std::fputs(usage, stdout);
      result.exitStatus = 0;
      return result;
    }
    if (!optionsEnded && arg == QLatin1String("--version")) {
      std::printf("%s\n", TitleAndVersion().toUtf8().constData());
      result.exitStatus = 0;
      return result;
    }
    if (!optionsEnded && switches.contains(arg)) {
      result.switches << arg;
    } else if (!optionsEnded && arg == QLatin1String("--")) {
      optionsEnded = true;
    } else if (!optionsEnded && arg.startsWith(u'-') && arg.size() > 1) {
      Complain(program, QStringLiteral("unbekannte Option: %1 (Hilfe mit --help)").arg(arg));
      result.exitStatus = kUsageErrorStatus;
      return result;
    } else if (maxOperands >= 0 && result.operands.size() >= maxOperands) {
      Complain(program, QStringLiteral("nur eine Konfigurationsdatei möglich (Hilfe mit --help)"));
      result.exitStatus = kUsageErrorStatus;
      return result;
    } else {
      result.operands << arg;
    }
  }
  result.config = result.operands.value(0);
  return result;
}

}  // namespace tbx
