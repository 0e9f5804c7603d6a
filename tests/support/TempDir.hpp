#pragma once

#include <string>
#include <string_view>

namespace telvora::test {

// A fresh directory under the system's temporary folder, removed with
// everything in it when the object goes away.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const std::string& path() const { return path_; }
  // Writes `content` to `name` inside the directory; returns the file's path.
  std::string write(const std::string& name, std::string_view content) const;

  // `path` written for a file:// URL: each segment percent-encoded.
  static std::string fileURLPath(const std::string& path);

 private:
  std::string path_;
};

}  // namespace telvora::test
