#pragma once

#include <algorithm>
#include <csignal>
#include <sys/resource.h>

// A disk without room past `bytes` in any one file, for this process and the
// programs it starts from now on; RLIM_INFINITY lifts it. A write past it
// fails (EFBIG) instead of ending the process.
inline void limitFileSize(rlim_t bytes)
{
    signal(SIGXFSZ, SIG_IGN);
    rlimit limit{};
    getrlimit(RLIMIT_FSIZE, &limit);
    limit.rlim_cur = std::min(bytes, limit.rlim_max);
    setrlimit(RLIMIT_FSIZE, &limit);
}
