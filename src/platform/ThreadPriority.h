#pragma once
// Scheduling of helper threads.

namespace tbx {

// Lowers the calling thread's scheduling priority by `steps` nice levels (at
// most to the lowest). Helper threads that read ahead call it so that, when
// the documents come from the page cache and every thread wants a core,
// the loop they serve is not crowded out by its own helpers.
void LowerThreadPriority(int steps);

}  // namespace tbx
