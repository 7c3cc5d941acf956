#include "engine/File.h"

#include "engine/PieceNaming.h"

#include <utility>

namespace quorvel {

File::File(File &&other) noexcept
    : m_fd(std::exchange(other.m_fd, kNoHandle)), m_strFilePath(std::move(other.m_strFilePath)) {}

File &File::operator=(File &&other) noexcept {
  Abort();
  m_fd = std::exchange(other.m_fd, kNoHandle);
  m_strFilePath = std::move(other.m_strFilePath);
  return *this;
}

std::string File::GetFileName() const { return std::string{SourceNameOf(m_strFilePath)}; }

} // namespace quorvel
