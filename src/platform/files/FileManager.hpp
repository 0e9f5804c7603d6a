#pragma once

#include <telvora/Result.hpp>

#include <cstddef>
#include <memory>
#include <string>

namespace telvora {

// Reads files. Thread-safe; blocking, so it is used from background queues.
class FileManager {
 public:
  enum class Error { unreadable, tooLarge };

  virtual ~FileManager() = default;

  static std::shared_ptr<FileManager> defaultManager();

  // The whole content of the regular file at `path`. A directory, a missing
  // file or one without read permission is unreadable (the detail says why);
  // a file larger than `maxSize` bytes is tooLarge and is not read.
  virtual Result<std::string, Error> contents(const std::string& path, std::size_t maxSize) const;
};

}  // namespace telvora
