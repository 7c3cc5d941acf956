// On Linux the copy that holds the lock listens on a local socket beside it, in the user's own
// folder; a later copy's connection is the request to come to the front.
#include "framework/RunningCopy.h"

#include "framework/linux/LinuxMutex.h"
#include "framework/qt/QtWindowPeer.h"

#include <QApplication>
#include <QSocketNotifier>

#include <fcntl.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace quorvel::fw {
namespace {

// The folder, opened and checked once, so that it cannot be swapped between the check and the
// use, and the socket's address through it: short whatever the folder's path.
struct SocketPlace {
  int folder = -1;
  CString name;
  sockaddr_un address{};

  SocketPlace() = default;
  SocketPlace(const SocketPlace &) = delete;
  SocketPlace &operator=(const SocketPlace &) = delete;
  ~SocketPlace() {
    if (folder >= 0)
      ::close(folder);
  }
};

bool Find(SocketPlace &place, const CString &lockName) {
  const std::filesystem::path folder = NamedLockFolder();
  if (folder.empty() || lockName.empty() || lockName.find('/') != CString::npos)
    return false;
  place.folder = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
  struct stat status {};
  // Only where nobody else could have put a socket of their own.
  if (place.folder < 0 || ::fstat(place.folder, &status) != 0 || status.st_uid != ::geteuid() ||
      (status.st_mode & (S_IWGRP | S_IWOTH)) != 0)
    return false;
  place.name = AnswerSocketName(lockName);
  const CString path = "/proc/self/fd/" + std::to_string(place.folder) + "/" + place.name;
  if (path.size() >= sizeof place.address.sun_path)
    return false;
  place.address.sun_family = AF_UNIX;
  path.copy(place.address.sun_path, path.size());
  return true;
}

const sockaddr *Address(const SocketPlace &place) {
  return reinterpret_cast<const sockaddr *>(&place.address);
}

void BringToFront(QWidget *window) {
  window->setWindowState(window->windowState() & ~Qt::WindowMinimized);
  window->show();
  window->raise();
  window->activateWindow();
  // A box it shows stays in front of it.
  if (QWidget *modal = QApplication::activeModalWidget(); modal && modal != window) {
    modal->raise();
    modal->activateWindow();
  }
}

} // namespace

void AnswerLaterCopies(HWND window, const CString &name) {
  SocketPlace place;
  if (!Find(place, name))
    return;
  const int listening = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
  if (listening < 0)
    return;
  // One left by a copy that ended: the lock held now says no other serves it.
  ::unlinkat(place.folder, place.name.c_str(), 0);
  if (::bind(listening, Address(place), sizeof place.address) != 0 || ::listen(listening, 4) != 0) {
    ::close(listening);
    return;
  }
  QWidget *widget = qt::WidgetOf(window);
  auto *notifier = new QSocketNotifier(listening, QSocketNotifier::Read, widget);
  QObject::connect(notifier, &QSocketNotifier::activated, [listening, widget] {
    const int connection = ::accept4(listening, nullptr, nullptr, SOCK_CLOEXEC);
    if (connection < 0)
      return;
    ::close(connection);
    BringToFront(widget);
  });
  // The socket goes with the window; its name stays until the next copy to hold the lock.
  QObject::connect(notifier, &QObject::destroyed, [listening] { ::close(listening); });
}

bool BringRunningCopyToFront(const CString &name) {
  SocketPlace place;
  if (!Find(place, name))
    return false;
  const int connection = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (connection < 0)
    return false;
  const bool answered = ::connect(connection, Address(place), sizeof place.address) == 0;
  ::close(connection);
  return answered;
}

} // namespace quorvel::fw
