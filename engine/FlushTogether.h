#pragma once

#include "engine/File.h"

#include <future>
#include <vector>

namespace quorvel {

// Flushes the files side by side on threads of their own and closes them; the future is ready
// once all are on their device, or holds the failure of the first file in order that failed. A
// file system commits the flushes that wait together in one go, where flushed one after another
// each waits for a commit of its own.
//
// Nothing waits for the threads: a run that stops returns at once and lets them end by themselves,
// as a flush on a slow medium can take seconds. They own the files, so give them descriptors of
// their own (File::Duplicate) where the run goes on using one.
std::future<void> FlushInBackground(std::vector<File> files);

} // namespace quorvel
