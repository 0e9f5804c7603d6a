#pragma once

#include <telvora/Result.hpp>

#include <cstddef>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

namespace telvora {

// A named set of resource files: the folder a host ships them in, or files
// held in memory. The library's own views read their interface files from
// the library bundle, Bundle::library(), which by default holds the copies
// compiled into the library; a host (or a test) may point it at a folder of
// its own versions.
//
// A Bundle is immutable and may be read from any thread; library() and
// setLibrary() may be called from any thread too.
class Bundle {
  struct Token {};

 public:
  enum class Error {
    notFound,  // no such file, unreadable, or a name that is not a plain file name
    tooLarge,  // larger than the caller's limit; not read
  };
  using Files = std::map<std::string, std::string, std::less<>>;

  // The files directly inside `folder`.
  static std::shared_ptr<const Bundle> atPath(std::string folder);
  // The given files, by name.
  static std::shared_ptr<const Bundle> withFiles(Files files);
  // The resource files compiled into the library (resources/ui/).
  static std::shared_ptr<const Bundle> compiledIn();

  // The bundle the library's views load from.
  static std::shared_ptr<const Bundle> library();
  // Replaces it; nullptr goes back to compiledIn(). Views already loaded
  // keep what they loaded.
  static void setLibrary(std::shared_ptr<const Bundle> bundle);

  // The whole content of `fileName` ("SkipView.json"). A name with a path
  // separator, or "." or "..", never leaves the bundle: it is notFound.
  Result<std::string, Error> contents(std::string_view fileName, std::size_t maxSize) const;

  Bundle(Token, std::optional<std::string> folder, Files files)
      : folder_(std::move(folder)), files_(std::move(files)) {}

 private:
  std::optional<std::string> folder_;  // set: read from disk; absent: files_
  Files files_;
};

}  // namespace telvora
