#pragma once
// Threads that wait on files: how many, and how they yield.

namespace tbx {

// How many threads read files at once: TABELLIX_READERS when set (0 to 64;
// 0 and 1 read on the run's own thread alone), else 4 per core, 4 to 16.
// On a file server every open and listing waits for the network, so a few
// threads per core keep it busy; on a local disk they cost little.
int ConfiguredReaders();

// Lowers the calling thread's scheduling priority a few nice levels below
// the run's. Helpers that list folders or read documents call it: with the
// files in the page cache every helper always wants a core, and at equal
// priority eight of them left the run's thread, which the window and every
// row wait for, a fraction of one. Waiting on a file server they sleep, and
// their priority does not matter.
void LowerHelperPriority();

}  // namespace tbx
