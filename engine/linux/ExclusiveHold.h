#pragma once

#include <sys/types.h>
#include <utility>
#include <vector>

namespace quorvel {

// Takes hold of a file whose name is about to be replaced or removed, as Windows refuses to while
// another program has the file open. Linux has no share modes, so three signs are read: the flock
// our own runs take, a POSIX lock (as office programs take), and any open descriptor at all, which
// a write lease reveals: the kernel grants one only while no other process has the file open.
//
// Where no lease can be had (a file of another owner without CAP_LEASE, a file system without
// leases) the descriptors of the processes this user may look into are searched instead.
//
// Returns 0 once `fd` (open for writing) holds the file's exclusive flock, or when the only other
// holder is this process itself (a name linked to the file it reads); EWOULDBLOCK when another
// process holds the file; another errno value when the lock cannot be taken at all.
int HoldExclusively(int fd);

// The read side: a file read while nothing may write it. A read lease is granted only while no
// process has the file open for writing, and while it is held a program that opens the file for
// writing waits for it (at most /proc/sys/fs/lease-break-time seconds), or fails at once when it
// asks not to wait. Either way the lease is broken, which the holder can see.
enum class ReadLease { granted, refused, unavailable };
// Takes a read lease on `fd`, open for reading only, until it is closed: refused while another
// descriptor has the file open for writing; unavailable for a file of another owner without
// CAP_LEASE, or on a file system without leases.
ReadLease TakeReadLease(int fd);
// Whether the read lease on `fd` is still whole: nobody opened the file for writing since.
bool ReadLeaseKept(int fd);

// Device and inode of every file that a process this user may look into (this one too) has open
// for writing, sorted: where no lease can be had, the only sign of a writer.
using FileIdentity = std::pair<dev_t, ino_t>;
std::vector<FileIdentity> FilesOpenForWriting();

} // namespace quorvel
