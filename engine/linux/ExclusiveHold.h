#pragma once

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

} // namespace quorvel
