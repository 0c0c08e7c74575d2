#include "common/CommandLine.h"

#include <cstdio>

#include "common/PathHelpers.h"
#include "text/ControlCharacters.h"

namespace tbx {
namespace {

void (*g_beforeMessage)() = nullptr;

}  // namespace

void SetBeforeMessage(void (*hook)()) { g_beforeMessage = hook; }

void Complain(const char* program, const QString& text, std::FILE* to) {
  if (g_beforeMessage) g_beforeMessage();
  QString line = text;
  line.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  std::fprintf(to, "%s: %s\n", program, EscapeControlCharacters(line, true).toLocal8Bit().constData());
  std::fflush(to);
}

ProgramArguments ParseProgramArguments(const QStringList& args, const char* program, const QString& usage,
                                       const QStringList& switches, int maxOperands) {
  ProgramArguments result;
  bool optionsEnded = false;
  for (const QString& arg : args) {
    if (!optionsEnded && (arg == QLatin1String("-h") || arg == QLatin1String("--help"))) {
      std::fputs(usage.toLocal8Bit().constData(), stdout);
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
