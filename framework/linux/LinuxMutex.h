#pragma once

#include "framework/Types.h"

#include <filesystem>
#include <sys/types.h>

// Where CreateMutex keeps its locks on Linux: files in a folder of the user's own, found the same
// way whatever the environment says, so that every copy of one user on one machine meets the
// same lock and no other user can make that folder first.
namespace quorvel::fw {

// <home>/.cache, the home as the password database gives it; empty when the user has none.
std::filesystem::path UserLockFolder();
// The name of the file that holds lock `name` of this machine, as one home may serve several.
CString LockFileName(const CString &name);
// The name of the socket beside it, through which the copy that holds the lock is asked for its
// window.
CString AnswerSocketName(const CString &name);
// The folder the locks are kept in now: the user's, or the one the tests set.
std::filesystem::path NamedLockFolder();
// Tests keep their locks apart from the user's; an empty path gives the user's folder back.
void SetNamedLockFolder(std::filesystem::path folder);

// A folder, not a link to one, owned by `user`, that nobody else may write to.
bool IsPrivateFolder(const std::filesystem::path &folder, uid_t user);

} // namespace quorvel::fw
