#include "common/WorkerPool.h"

#include <QtGlobal>
#include <algorithm>
#include <thread>

namespace tbx {

int ConfiguredReaders() {
  bool ok = false;
  const int configured = qEnvironmentVariableIntValue("TABELLIX_READERS", &ok);
  if (ok) return std::clamp(configured, 0, 64);
  const int cores = int(std::max(1u, std::thread::hardware_concurrency()));
  return std::clamp(4 * cores, 4, 16);
}

}  // namespace tbx
