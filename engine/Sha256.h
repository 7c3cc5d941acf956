#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace quorvel {

// SHA-256 from the system's library: OpenSSL's libcrypto on Linux, which uses the processor's
// SHA instructions, and CNG on Windows.
class Sha256 {
public:
  using Digest = std::array<std::uint8_t, 32>;

  Sha256();
  Sha256(const Sha256 &) = delete;
  Sha256 &operator=(const Sha256 &) = delete;
  ~Sha256();

  void Update(const std::byte *data, std::size_t size);
  // The digest of everything given since the last one; the next bytes start a new one.
  Digest Finish();

private:
  void Restart();

  void *m_state = nullptr;
};

} // namespace quorvel
