#pragma once
// How helper threads yield to the run's own thread.

namespace tbx {

// Lowers the calling thread's scheduling priority a few steps below the
// run's. Helpers that list folders or read documents call it: with the files
// in the page cache every helper always wants a core, and at equal priority
// eight of them left the run's thread, which the window and every row wait
// for, a fraction of one. Waiting on a file server they sleep, and their
// priority does not matter.
void LowerHelperPriority();

}  // namespace tbx
