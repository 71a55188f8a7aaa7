// Work spread over threads of this host.  The plug-in starts no threads of its own; a host
// may read several movies at once, each through its own open file and stream.
#pragma once

#include <cstddef>
#include <functional>

// Runs work(0) .. work(count - 1) on up to `jobs` threads, each index once, and returns
// when all are done.  An exception escaping a job is rethrown afterwards (the first one).
void RunJobs(size_t count, int jobs, const std::function<void(size_t)>& work);

// --jobs when not given: the machine's processors.
int DefaultJobs();
