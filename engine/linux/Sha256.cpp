#include "engine/Sha256.h"

#include <new>
#include <openssl/evp.h>

namespace quorvel {
namespace {

EVP_MD_CTX *Context(void *state) { return static_cast<EVP_MD_CTX *>(state); }

} // namespace

Sha256::Sha256() : m_state(EVP_MD_CTX_new()) {
  if (!m_state)
    throw std::bad_alloc();
  Restart();
}

Sha256::~Sha256() { EVP_MD_CTX_free(Context(m_state)); }

// The calls fail only for want of memory or a broken library; neither can be reported as a file's
// failure, and both are a program's end.
void Sha256::Restart() {
  if (EVP_DigestInit_ex(Context(m_state), EVP_sha256(), nullptr) != 1)
    throw std::bad_alloc();
}

void Sha256::Update(const std::byte *data, std::size_t size) {
  if (EVP_DigestUpdate(Context(m_state), data, size) != 1)
    throw std::bad_alloc();
}

Sha256::Digest Sha256::Finish() {
  Digest digest{};
  if (EVP_DigestFinal_ex(Context(m_state), digest.data(), nullptr) != 1)
    throw std::bad_alloc();
  Restart();
  return digest;
}

} // namespace quorvel
