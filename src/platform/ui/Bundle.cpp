#include <telvora/platform/Bundle.hpp>

#include "platform/files/FileManager.hpp"
#include "platform/ui/EmbeddedFiles.hpp"

#include <mutex>

namespace telvora {
namespace {

bool isPlainFileName(std::string_view name) {
  return !name.empty() && name != "." && name != ".." &&
         name.find_first_of(std::string_view("/\\\0", 3)) == std::string_view::npos;
}

struct LibraryBundle {
  std::mutex mutex;
  std::shared_ptr<const Bundle> bundle;  // null: compiledIn()
};

LibraryBundle& libraryBundle() {
  static LibraryBundle instance;
  return instance;
}

}  // namespace

std::shared_ptr<const Bundle> Bundle::atPath(std::string folder) {
  return std::make_shared<const Bundle>(Token{}, std::move(folder), Files{});
}

std::shared_ptr<const Bundle> Bundle::withFiles(Files files) {
  return std::make_shared<const Bundle>(Token{}, std::nullopt, std::move(files));
}

std::shared_ptr<const Bundle> Bundle::compiledIn() {
  static const std::shared_ptr<const Bundle> bundle = [] {
    Files files;
    for (const detail::EmbeddedFile& f : detail::embeddedInterfaceFiles()) {
      files.emplace(std::string(f.name), std::string(f.contents));
    }
    return withFiles(std::move(files));
  }();
  return bundle;
}

std::shared_ptr<const Bundle> Bundle::library() {
  LibraryBundle& library = libraryBundle();
  {
    const std::lock_guard<std::mutex> lock(library.mutex);
    if (library.bundle) return library.bundle;
  }
  return compiledIn();
}

void Bundle::setLibrary(std::shared_ptr<const Bundle> bundle) {
  LibraryBundle& library = libraryBundle();
  const std::lock_guard<std::mutex> lock(library.mutex);
  library.bundle = std::move(bundle);
}

Result<std::string, Bundle::Error> Bundle::contents(std::string_view fileName,
                                                    std::size_t maxSize) const {
  using R = Result<std::string, Error>;
  if (!isPlainFileName(fileName)) {
    return R::failure(Error::notFound, "not a plain file name: " + std::string(fileName));
  }
  if (folder_) {
    auto read =
        FileManager::defaultManager()->contents(*folder_ + "/" + std::string(fileName), maxSize);
    if (read.ok()) return R::success(std::move(read).value());
    return R::failure(
        read.error() == FileManager::Error::tooLarge ? Error::tooLarge : Error::notFound,
        read.detail());
  }
  const auto found = files_.find(fileName);
  if (found == files_.end()) {
    return R::failure(Error::notFound, "no file " + std::string(fileName) + " in the bundle");
  }
  if (found->second.size() > maxSize) {
    return R::failure(Error::tooLarge, std::string(fileName) + " is larger than " +
                                           std::to_string(maxSize) + " bytes");
  }
  return R::success(found->second);
}

}  // namespace telvora
