#pragma once

#include "engine/FileCause.h"

#include <optional>
#include <string>
#include <utility>

namespace quorvel {

// A file descriptor closed with its owner.
class Descriptor {
public:
  Descriptor() = default;
  explicit Descriptor(int fd) : m_fd(fd) {}
  Descriptor(Descriptor &&other) noexcept : m_fd(std::exchange(other.m_fd, -1)) {}
  Descriptor &operator=(Descriptor &&other) noexcept {
    std::swap(m_fd, other.m_fd);
    return *this;
  }
  ~Descriptor();
  int get() const { return m_fd; }
  int release() { return std::exchange(m_fd, -1); }
  explicit operator bool() const { return m_fd >= 0; }

private:
  int m_fd = -1;
};

struct NameRefusal {
  FileCause cause;
  int osError;
};

// What stands under a name that a run is about to replace or remove. A file there is held locked,
// so that no other run replaces it until this one has; a link is replaced like a file, but its
// target is never touched.
struct NameHold {
  std::optional<NameRefusal> refusal;
  // Something is under the name.
  bool taken = false;
  Descriptor file;
};

// Refuses a folder, a device, a FIFO, a file we may not write and a file another program has open.
NameHold HoldName(int folder, const std::string &name);

// The held file is still the one under the name: nobody replaced it between the look and the lock.
bool StillUnderName(int folder, const std::string &name, int held);

} // namespace quorvel
