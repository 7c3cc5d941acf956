#include "engine/Sha256.h"

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <bcrypt.h>
#include <new>

namespace quorvel {
namespace {

// One provider for the process, opened once: it is the costly part.
BCRYPT_ALG_HANDLE Provider() {
  static const BCRYPT_ALG_HANDLE provider = [] {
    BCRYPT_ALG_HANDLE opened = nullptr;
    if (!BCRYPT_SUCCESS(
            ::BCryptOpenAlgorithmProvider(&opened, BCRYPT_SHA256_ALGORITHM, nullptr, 0)))
      throw std::bad_alloc();
    return opened;
  }();
  return provider;
}

} // namespace

Sha256::Sha256() { Restart(); }

Sha256::~Sha256() { ::BCryptDestroyHash(static_cast<BCRYPT_HASH_HANDLE>(m_state)); }

// The calls fail only for want of memory or a broken system library, a program's end either way.
void Sha256::Restart() {
  BCRYPT_HASH_HANDLE hash = nullptr;
  if (!BCRYPT_SUCCESS(::BCryptCreateHash(Provider(), &hash, nullptr, 0, nullptr, 0, 0)))
    throw std::bad_alloc();
  m_state = hash;
}

void Sha256::Update(const std::byte *data, std::size_t size) {
  auto *bytes = reinterpret_cast<PUCHAR>(const_cast<std::byte *>(data));
  if (!BCRYPT_SUCCESS(::BCryptHashData(static_cast<BCRYPT_HASH_HANDLE>(m_state), bytes,
                                       static_cast<ULONG>(size), 0)))
    throw std::bad_alloc();
}

Sha256::Digest Sha256::Finish() {
  Digest digest{};
  const auto hash = static_cast<BCRYPT_HASH_HANDLE>(m_state);
  const bool finished =
      BCRYPT_SUCCESS(::BCryptFinishHash(hash, digest.data(), static_cast<ULONG>(digest.size()), 0));
  ::BCryptDestroyHash(hash);
  m_state = nullptr;
  if (!finished)
    throw std::bad_alloc();
  Restart();
  return digest;
}

} // namespace quorvel
