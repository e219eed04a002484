#pragma once
// What the benchmarks measure of the process besides time: its CPU time and its peak memory.

#include <sys/resource.h>
#include <ctime>

namespace bench {

// CPU time in seconds: the whole process's (every thread, user and system), or this thread's
// with CLOCK_THREAD_CPUTIME_ID.
inline double CpuSeconds(clockid_t clock = CLOCK_PROCESS_CPUTIME_ID) {
    timespec t{};
    clock_gettime(clock, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

// The process's peak resident memory so far, in megabytes.
inline double PeakMegabytes() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_maxrss) / 1024.0;
}

}  // namespace bench
