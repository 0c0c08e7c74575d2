#pragma once
// Threads that wait on files: how many, and how they yield.

namespace tbx {

// How many threads read files at once: TABELLIX_READERS when set (0 to 64;
// 0 and 1 read on the run's own thread alone), else 4 per core, 4 to 16.
// On a file server every open and listing waits for the network, so a few
// threads per core keep it busy; on a local disk they cost little.
int ConfiguredReaders();

// Lowers the calling thread's scheduling priority by `steps` nice levels (at
// most to the lowest). Helper threads that read ahead call it so that, when
// the documents come from the page cache and every thread wants a core,
// the loop they serve is not crowded out by its own helpers.
void LowerThreadPriority(int steps);

}  // namespace tbx
