#include "engine/FileCause.h"

#include <algorithm>
#include <array>
#include <cerrno>

namespace quorvel {

#ifndef _WIN32
namespace {

struct ErrnoCause {
  int error;
  FileCause cause;
};

// Every error not listed is a generic failure.
constexpr auto kErrnoCauses = std::to_array<ErrnoCause>({
    {0, FileCause::none},
    {ENOENT, FileCause::fileNotFound},
    {ENOTDIR, FileCause::badPath},
    {ENAMETOOLONG, FileCause::badPath},
    {ELOOP, FileCause::badPath},
    {EMFILE, FileCause::tooManyOpenFiles},
    {ENFILE, FileCause::tooManyOpenFiles},
    {EACCES, FileCause::accessDenied},
    {EPERM, FileCause::accessDenied},
    {EROFS, FileCause::accessDenied},
    {EISDIR, FileCause::accessDenied},
    {EEXIST, FileCause::accessDenied},
    {EBADF, FileCause::invalidFile},
    {ESPIPE, FileCause::badSeek},
    {EIO, FileCause::hardIO},
    {ENXIO, FileCause::hardIO},
    {ENODEV, FileCause::hardIO},
    {EWOULDBLOCK, FileCause::sharingViolation},
    {ETXTBSY, FileCause::sharingViolation},
    {EBUSY, FileCause::sharingViolation},
    {ENOLCK, FileCause::lockViolation},
    {EDEADLK, FileCause::lockViolation},
    {ENOSPC, FileCause::diskFull},
    {EDQUOT, FileCause::diskFull},
    {EFBIG, FileCause::fileTooLarge},
});

} // namespace

FileCause CauseFromErrno(int error, OpenPurpose purpose) {
  if (error == ENOENT && purpose == OpenPurpose::creating)
    return FileCause::badPath;
  const auto *found = std::ranges::find(kErrnoCauses, error, &ErrnoCause::error);
  return found == kErrnoCauses.end() ? FileCause::genericException : found->cause;
}
#endif

namespace {

struct Win32Range {
  std::uint32_t first;
  std::uint32_t last;
  FileCause cause;
};

constexpr Win32Range single(std::uint32_t code, FileCause cause) { return {code, code, cause}; }

// Sorted by code so a lookup can search it; every code not listed is a generic failure.
constexpr auto kWin32Causes = std::to_array<Win32Range>({
    single(0, FileCause::none),
    single(2, FileCause::fileNotFound),
    single(3, FileCause::badPath),
    single(4, FileCause::tooManyOpenFiles),
    single(5, FileCause::accessDenied),
    single(6, FileCause::fileNotFound),
    single(11, FileCause::invalidFile),
    single(12, FileCause::accessDenied),
    single(15, FileCause::badPath),
    single(16, FileCause::removeCurrentDir),
    single(17, FileCause::badPath),
    single(18, FileCause::fileNotFound),
    single(19, FileCause::accessDenied),
    {20, 23, FileCause::hardIO},
    single(24, FileCause::badSeek),
    single(25, FileCause::badSeek),
    single(26, FileCause::invalidFile),
    single(27, FileCause::badSeek),
    single(29, FileCause::accessDenied),
    single(30, FileCause::badSeek),
    single(32, FileCause::sharingViolation),
    single(33, FileCause::lockViolation),
    single(34, FileCause::badPath),
    single(36, FileCause::tooManyOpenFiles),
    single(38, FileCause::endOfFile),
    single(39, FileCause::diskFull),
    single(52, FileCause::badPath),
    single(53, FileCause::badPath),
    single(54, FileCause::accessDenied),
    single(55, FileCause::badPath),
    single(57, FileCause::hardIO),
    single(58, FileCause::accessDenied),
    single(59, FileCause::hardIO),
    single(60, FileCause::invalidFile),
    single(62, FileCause::directoryFull),
    single(64, FileCause::accessDenied),
    single(65, FileCause::accessDenied),
    single(66, FileCause::invalidFile),
    single(67, FileCause::badPath),
    single(68, FileCause::tooManyOpenFiles),
    single(70, FileCause::badPath),
    single(71, FileCause::accessDenied),
    single(80, FileCause::accessDenied),
    single(82, FileCause::accessDenied),
    single(85, FileCause::badPath),
    single(86, FileCause::accessDenied),
    single(88, FileCause::hardIO),
    single(107, FileCause::fileNotFound),
    single(108, FileCause::lockViolation),
    single(111, FileCause::badPath),
    single(112, FileCause::diskFull),
    single(113, FileCause::tooManyOpenFiles),
    single(114, FileCause::invalidFile),
    single(117, FileCause::hardIO),
    {123, 125, FileCause::badPath},
    single(131, FileCause::badSeek),
    single(132, FileCause::badSeek),
    single(144, FileCause::badPath),
    single(145, FileCause::removeCurrentDir),
    single(154, FileCause::badPath),
    single(161, FileCause::badPath),
    single(167, FileCause::lockViolation),
    single(170, FileCause::accessDenied),
    single(182, FileCause::invalidFile),
    single(183, FileCause::accessDenied),
    single(191, FileCause::invalidFile),
    single(193, FileCause::invalidFile),
    single(206, FileCause::badPath),
    single(208, FileCause::badPath),
    single(223, FileCause::fileTooLarge),
    single(267, FileCause::badPath),
    {995, 997, FileCause::hardIO},
    single(999, FileCause::accessDenied),
});

static_assert(std::ranges::is_sorted(kWin32Causes, {}, &Win32Range::first));

} // namespace

FileCause CauseFromWin32Error(std::uint32_t error) {
  const auto *range = std::ranges::upper_bound(kWin32Causes, error, {}, &Win32Range::first);
  if (range == kWin32Causes.begin())
    return FileCause::genericException;
  --range;
  return error <= range->last ? range->cause : FileCause::genericException;
}

} // namespace quorvel
