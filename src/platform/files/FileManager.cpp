#include "platform/files/FileManager.hpp"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <cerrno>
#include <cstring>

namespace telvora {

std::shared_ptr<FileManager> FileManager::defaultManager() {
  static const auto manager = std::make_shared<FileManager>();
  return manager;
}

Result<std::string, FileManager::Error> FileManager::contents(const std::string& path,
                                                              std::size_t maxSize) const {
  using R = Result<std::string, Error>;
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return R::failure(Error::unreadable, path + ": " + std::strerror(errno));

  struct Closer {
    int fd;
    ~Closer() { ::close(fd); }
  } closer{fd};

  struct stat info {};
  if (::fstat(fd, &info) != 0)
    return R::failure(Error::unreadable, path + ": " + std::strerror(errno));
  if (!S_ISREG(info.st_mode)) return R::failure(Error::unreadable, path + ": not a regular file");
  if (static_cast<std::size_t>(info.st_size) > maxSize) {
    return R::failure(Error::tooLarge,
                      path + ": larger than " + std::to_string(maxSize) + " bytes");
  }

  std::string content;
  content.reserve(static_cast<std::size_t>(info.st_size));
  char buffer[64 * 1024];
  for (;;) {
    const ssize_t n = ::read(fd, buffer, sizeof buffer);
    if (n == 0) break;
    if (n < 0) {
      if (errno == EINTR) continue;
      return R::failure(Error::unreadable, path + ": " + std::strerror(errno));
    }
    // The file may grow while it is read.
    if (content.size() + static_cast<std::size_t>(n) > maxSize) {
      return R::failure(Error::tooLarge,
                        path + ": larger than " + std::to_string(maxSize) + " bytes");
    }
    content.append(buffer, static_cast<std::size_t>(n));
  }
  return R::success(std::move(content));
}

}  // namespace telvora
