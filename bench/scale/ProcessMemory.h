#pragma once

#include <QtGlobal>

// The process's resident memory, as the kernel counts it (Linux; 0 elsewhere).
namespace Bench::ProcessMemory {

qint64 residentBytes();
// The most the process has held resident since it started, or since resetPeak.
qint64 peakResidentBytes();
// Starts the peak afresh, so that a later part of a run is measured on its own. False when the
// kernel does not offer it.
bool resetPeak();
// Hands memory the process has freed back to the system, where the allocator allows it.
void releaseFreedMemory();

} // namespace Bench::ProcessMemory
