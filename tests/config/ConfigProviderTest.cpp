#include <telvora/ConfigProvider.hpp>

#include "support/LocalHttpServer.hpp"
#include "support/TempDir.hpp"

#include <gtest/gtest.h>

#include <chrono>
#include <future>
#include <string>
#include <thread>

namespace telvora {
namespace {

using Error = ConfigProvider::Error;

const char kDocument[] =
    R"({"data": {"default": {"midrollTime": 60}, "live": {"prerollPods": 1}, "onDemand": {}}})";

// Loads `url` and waits for the one answer, checking where it arrives.
ConfigProvider::LoadResult loadFrom(const std::string& url) {
  std::promise<ConfigProvider::LoadResult> answer;
  std::promise<std::thread::id> thread;
  {
    ConfigProvider provider(url);
    provider.load([&](ConfigProvider::LoadResult result) {
      thread.set_value(std::this_thread::get_id());
      answer.set_value(std::move(result));
    });
    // The provider may go away before its load is over.
  }
  auto future = answer.get_future();
  if (future.wait_for(std::chrono::seconds(30)) != std::future_status::ready) {
    ADD_FAILURE() << "no answer for " << url;
    std::abort();
  }
  EXPECT_NE(thread.get_future().get(), std::this_thread::get_id());
  return future.get();
}

void expectFailure(const ConfigProvider::LoadResult& result, Error error) {
  ASSERT_FALSE(result.ok());
  EXPECT_EQ(result.error(), error) << toString(result.error()) << ": " << result.detail();
}

TEST(ConfigProviderRemote, AnswersByStatusAndBody) {
  test::LocalHttpServer origin;
  auto serve = [&](const std::string& path, int status, std::string body) {
    origin.server().Get(path, [status, body](const httplib::Request&, httplib::Response& res) {
      res.status = status;
      if (!body.empty()) res.set_content(body, "application/json");
    });
  };
  serve("/ok", 200, kDocument);
  serve("/299", 299, kDocument);
  serve("/204", 204, "");
  serve("/empty", 200, "");
  serve("/notjson", 200, "<html>maintenance</html>");
  serve("/300", 300, kDocument);
  serve("/404", 404, kDocument);
  serve("/500", 500, "{}");

  for (const char* path : {"/ok", "/299"}) {
    SCOPED_TRACE(path);
    auto result = loadFrom(origin.url(path) + "?cb=1&TL_APPNAME=x");
    ASSERT_TRUE(result.ok()) << result.detail();
    EXPECT_EQ(result.value()->live.prerollPods, 1);
    // The provider hands the document over as decoded, not completed.
    EXPECT_FALSE(result.value()->live.midrollTime);
  }
  struct Case {
    const char* path;
    Error error;
  };
  for (const Case& c : {Case{"/204", Error::decodeFailed}, Case{"/empty", Error::decodeFailed},
                        Case{"/notjson", Error::decodeFailed}, Case{"/300", Error::httpError},
                        Case{"/404", Error::httpError}, Case{"/500", Error::httpError}}) {
    SCOPED_TRACE(c.path);
    expectFailure(loadFrom(origin.url(c.path)), c.error);
  }
  EXPECT_EQ(loadFrom(origin.url("/404")).detail(), "HTTP status 404");
}

TEST(ConfigProviderRemote, NoServerIsAnUnknownError) {
  auto result = loadFrom("http://127.0.0.1:" + std::to_string(test::unusedLocalPort()) + "/cfg");
  expectFailure(result, Error::uknownError);
  EXPECT_FALSE(result.detail().empty());
}

TEST(ConfigProviderRemote, RefusesAnOversizedDocumentWithoutReadingIt) {
  test::LocalHttpServer origin;
  origin.server().Get("/huge", [](const httplib::Request&, httplib::Response& res) {
    res.set_content(std::string(ConfigProvider::kMaxDocumentSize + 1, ' '), "application/json");
  });
  auto result = loadFrom(origin.url("/huge"));
  expectFailure(result, Error::decodeFailed);
  EXPECT_NE(result.detail().find("larger than"), std::string::npos) << result.detail();
}

TEST(ConfigProviderRemote, ATextThatIsNotAURLIsUrlNotFound) {
  expectFailure(loadFrom("not a url"), Error::urlNotFound);
}

TEST(ConfigProviderLocal, ReadsTheFileAtTheURLPath) {
  test::TempDir dir;
  const std::string valid = dir.write("config one.json", kDocument);
  const std::string empty = dir.write("empty.json", "{}");

  auto result = loadFrom("file://" + test::TempDir::fileURLPath(valid) + "?cb=5&TL_CFGID=x");
  ASSERT_TRUE(result.ok()) << result.detail();
  EXPECT_EQ(result.value()->live.prerollPods, 1);

  expectFailure(loadFrom("file://" + test::TempDir::fileURLPath(empty)), Error::decodeFailed);
  expectFailure(loadFrom("file://" + test::TempDir::fileURLPath(dir.path() + "/missing.json")),
                Error::fileNotFound);
  expectFailure(loadFrom("file://" + test::TempDir::fileURLPath(dir.path())), Error::fileNotFound);
}

}  // namespace
}  // namespace telvora
