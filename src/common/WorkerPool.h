#pragma once
// Helper threads of a run: how many there are.

namespace tbx {

// How many threads read files at once: TABELLIX_READERS when set (0 to 64;
// 0 and 1 read on the run's own thread alone), else 4 per core, 4 to 16.
// On a file server every open and listing waits for the network, so a few
// threads per core keep it busy; on a local disk they cost little.
int ConfiguredReaders();

}  // namespace tbx
