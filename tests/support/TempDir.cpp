#include "support/TempDir.hpp"

#include "platform/url/Url.hpp"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <vector>

namespace telvora::test {

TempDir::TempDir() {
  std::string pattern = (std::filesystem::temp_directory_path() / "telvora-test-XXXXXX").string();
  std::vector<char> buffer(pattern.begin(), pattern.end());
  buffer.push_back('\0');
  if (::mkdtemp(buffer.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
  path_ = buffer.data();
}

TempDir::~TempDir() {
  std::error_code ignored;
  std::filesystem::remove_all(path_, ignored);
}

std::string TempDir::write(const std::string& name, std::string_view content) const {
  const std::string file = path_ + "/" + name;
  std::ofstream out(file, std::ios::binary);
  out.write(content.data(), static_cast<std::streamsize>(content.size()));
  if (!out) throw std::runtime_error("cannot write " + file);
  return file;
}

std::string TempDir::fileURLPath(const std::string& path) {
  std::string out;
  std::size_t begin = 0;
  for (;;) {
    const std::size_t slash = path.find('/', begin);
    out += percentEncode(std::string_view(path).substr(begin, slash - begin));
    if (slash == std::string::npos) return out;
    out += '/';
    begin = slash + 1;
  }
}

}  // namespace telvora::test
