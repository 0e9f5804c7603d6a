#pragma once

#include <telvora/Config.hpp>
#include <telvora/Result.hpp>

#include <functional>
#include <memory>
#include <string>
#include <string_view>

namespace telvora {

class HttpClient;
class FileManager;

// Loads one configuration document ({"data": {...}}) from a URL: a file://
// URL is read from disk on the utility background queue (its query is
// ignored), anything else is fetched with a GET through the HTTP client.
//
// It answers once, on a background thread (the utility queue or the HTTP
// client's callback thread), never on the main queue. A load does not need
// the provider to stay alive: it finishes and answers even if the provider
// is destroyed first.
class ConfigProvider {
 public:
  enum class Error {
    fileNotFound,  // the local file cannot be read
    decodeFailed,  // no body, or not a valid document
    uknownError,   // the request ended without an HTTP response
    httpError,     // an HTTP status outside 200 to 299
    urlNotFound,   // the URL text is not a URL
  };

  using LoadResult = Result<std::shared_ptr<Config>, Error>;
  using Completion = std::function<void(LoadResult)>;

  // Documents above this size are refused with decodeFailed: a configuration
  // is a few kilobytes, and a hostile server must not fill memory.
  static constexpr std::size_t kMaxDocumentSize = 16 * 1024 * 1024;

  // Null `session` and `fileManager` mean the shared HTTP client and the
  // default file manager.
  explicit ConfigProvider(std::string configURL, std::shared_ptr<HttpClient> session = nullptr,
                          std::shared_ptr<FileManager> fileManager = nullptr);

  const std::string configURL;
  const std::shared_ptr<HttpClient> session;
  const std::shared_ptr<FileManager> fileManager;

  // loadFromLocal for a file:// URL, loadFromRemote for anything else.
  void load(Completion completion) const;
  void loadFromLocal(Completion completion) const;
  void loadFromRemote(Completion completion) const;
};

std::string_view toString(ConfigProvider::Error error);

}  // namespace telvora
