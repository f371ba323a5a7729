#pragma once
// The process's memory as the operating system sees it, and giving freed
// memory back to it. Results of a million rows are freed in many small
// pieces that the allocator would otherwise keep for later.

#include <QtGlobal>

namespace base {

// Physical memory of the machine in bytes (0 when unknown).
qint64 physicalBytes();
// Resident set size of this process now, and at its peak, in bytes (0 when unknown).
qint64 residentBytes();
qint64 peakResidentBytes();
// Hands memory freed by the program back to the operating system.
void releaseFreed();
// Makes every thread allocate from one heap, so that releaseFreed() can give
// back everything freed. Each run's worker thread would otherwise get a heap
// of its own, whose free top releaseFreed() cannot return: a closed
// document's rows, freed there, stayed resident. Call first thing in main(),
// before any thread starts.
void useOneHeap();

} // namespace base
