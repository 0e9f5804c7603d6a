#include <telvora/ConfigProvider.hpp>

#include <telvora/ConfigCoding.hpp>

#include "platform/files/FileManager.hpp"
#include "platform/http/HttpClient.hpp"
#include "platform/runloop/WorkQueue.hpp"
#include "platform/url/Url.hpp"

#include <utility>

namespace telvora {
namespace {

using LoadResult = ConfigProvider::LoadResult;
using Error = ConfigProvider::Error;

LoadResult decodeDocument(std::string_view bytes) {
  auto decoded = decodeConfigData(bytes);
  if (!decoded) return LoadResult::failure(Error::decodeFailed, decoded.detail());
  return LoadResult::success(std::move(decoded).value().data);
}

std::string tooLargeDetail() {
  return "document larger than " + std::to_string(ConfigProvider::kMaxDocumentSize) + " bytes";
}

}  // namespace

ConfigProvider::ConfigProvider(std::string configURL, std::shared_ptr<HttpClient> session,
                               std::shared_ptr<FileManager> fileManager)
    : configURL(std::move(configURL)),
      session(session ? std::move(session) : HttpClient::shared()),
      fileManager(fileManager ? std::move(fileManager) : FileManager::defaultManager()) {}

void ConfigProvider::load(Completion completion) const {
  const std::optional<Url> url = Url::parse(configURL);
  if (url && url->scheme == "file") {
    loadFromLocal(std::move(completion));
  } else {
    loadFromRemote(std::move(completion));
  }
}

void ConfigProvider::loadFromLocal(Completion completion) const {
  // Captures copies, not the provider, so the load finishes on its own.
  WorkQueue::utility().async(
      [url = configURL, files = fileManager, completion = std::move(completion)] {
        const std::optional<Url> parsed = Url::parse(url);
        if (!parsed) {
          completion(LoadResult::failure(Error::urlNotFound, "not a URL: " + url));
          return;
        }
        auto bytes = files->contents(percentDecode(parsed->path), kMaxDocumentSize);
        if (!bytes) {
          if (bytes.error() == FileManager::Error::tooLarge) {
            completion(LoadResult::failure(Error::decodeFailed, tooLargeDetail()));
          } else {
            completion(LoadResult::failure(Error::fileNotFound, bytes.detail()));
          }
          return;
        }
        completion(decodeDocument(bytes.value()));
      });
}

void ConfigProvider::loadFromRemote(Completion completion) const {
  if (!Url::parse(configURL)) {
    WorkQueue::utility().async([url = configURL, completion = std::move(completion)] {
      completion(LoadResult::failure(Error::urlNotFound, "not a URL: " + url));
    });
    return;
  }
  HttpRequest request;
  request.url = configURL;
  request.maxBodySize = kMaxDocumentSize;
  session->dataTask(std::move(request), [completion = std::move(completion)](
                                            Bytes body, std::optional<HttpResponse> response,
                                            std::optional<HttpError> error) {
    if (!response) {
      completion(LoadResult::failure(
          Error::uknownError, error ? std::string(toString(error->code)) + ": " + error->message
                                    : std::string("no HTTP response")));
      return;
    }
    if (response->statusCode < 200 || response->statusCode > 299) {
      completion(LoadResult::failure(Error::httpError,
                                     "HTTP status " + std::to_string(response->statusCode)));
      return;
    }
    if (!body) {
      completion(LoadResult::failure(Error::decodeFailed,
                                     error && error->code == HttpErrorCode::bodyTooLarge
                                         ? tooLargeDetail()
                                         : std::string("no body")));
      return;
    }
    completion(decodeDocument(*body));
  });
}

std::string_view toString(ConfigProvider::Error error) {
  switch (error) {
    case Error::fileNotFound:
      return "fileNotFound";
    case Error::decodeFailed:
      return "decodeFailed";
    case Error::uknownError:
      return "uknownError";
    case Error::httpError:
      return "httpError";
    case Error::urlNotFound:
      return "urlNotFound";
  }
  return "uknownError";
}

}  // namespace telvora
