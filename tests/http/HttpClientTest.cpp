#include "platform/http/HttpClient.hpp"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <future>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "support/LocalHttpServer.hpp"

namespace telvora {
namespace {

using namespace std::chrono_literals;
using test::LocalHttpServer;

constexpr auto kDeadline = 10s;

struct Outcome {
  Bytes body;
  std::optional<HttpResponse> response;
  std::optional<HttpError> error;
  std::thread::id thread;
};

// Collects the one completion of a task and lets the test wait for it.
class Completion {
 public:
  DataTaskCompletion callback() {
    return
        [this](Bytes body, std::optional<HttpResponse> response, std::optional<HttpError> error) {
          if (++calls_ == 1) {
            promise_.set_value(Outcome{std::move(body), std::move(response), std::move(error),
                                       std::this_thread::get_id()});
          }
        };
  }

  // The outcome, or a failed test if none arrives before the deadline.
  Outcome wait(std::chrono::steady_clock::duration deadline = kDeadline) {
    if (future_.wait_for(deadline) != std::future_status::ready) {
      ADD_FAILURE() << "no completion within the deadline";
      return {};
    }
    return future_.get();
  }

  int calls() const { return calls_; }

 private:
  std::promise<Outcome> promise_;
  std::future<Outcome> future_ = promise_.get_future();
  std::atomic<int> calls_ = 0;
};

Outcome fetch(HttpClient& client, HttpRequest request) {
  Completion completion;
  client.dataTask(std::move(request), completion.callback());
  return completion.wait();
}

Outcome fetch(HttpClient& client, std::string url) {
  HttpRequest request;
  request.url = std::move(url);
  return fetch(client, std::move(request));
}

std::string textOf(const Outcome& outcome) {
  return outcome.body ? *outcome.body : "<null body>";
}

class HttpClientTest : public ::testing::Test {
 protected:
  HttpClientTest() {
    auto& server = local.server();
    server.Get("/ok", [](const httplib::Request&, httplib::Response& res) {
      res.set_header("X-Test", "yes");
      res.set_content("hello", "application/octet-stream");
    });
    server.Get("/empty", [](const httplib::Request&, httplib::Response& res) { res.status = 204; });
    server.Get("/missing", [](const httplib::Request&, httplib::Response& res) {
      res.status = 404;
      res.set_content("no such thing", "application/octet-stream");
    });
    server.Get("/broken", [](const httplib::Request&, httplib::Response& res) {
      res.status = 500;
      res.set_content("boom", "application/octet-stream");
    });
    server.Get("/slow", [this](const httplib::Request&, httplib::Response& res) {
      if (!slowSeen.exchange(true)) slowArrived.set_value();
      local.sleepFor(30s);
      res.set_content("late", "application/octet-stream");
    });
    server.Get("/echo-headers", [](const httplib::Request& req, httplib::Response& res) {
      std::string text;
      for (const auto& [name, value] : req.headers)
        text += name + "=" + value + "\n";
      res.set_content(text, "application/octet-stream");
    });
  }

  std::atomic<bool> slowSeen = false;
  std::promise<void> slowArrived;
  LocalHttpServer local{16};
  HttpClient client;  // destroyed before the server
};

TEST_F(HttpClientTest, ReportsStatusAndBodyAsResponseNotError) {
  struct Case {
    const char* path;
    int status;
    const char* body;
  };
  const Case cases[] = {
      {"/ok", 200, "hello"},
      {"/empty", 204, ""},
      {"/missing", 404, "no such thing"},
      {"/broken", 500, "boom"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.path);
    auto outcome = fetch(client, local.url(c.path));
    ASSERT_FALSE(outcome.error) << outcome.error->message;
    ASSERT_TRUE(outcome.response);
    EXPECT_EQ(outcome.response->statusCode, c.status);
    EXPECT_EQ(outcome.response->url, local.url(c.path));
    ASSERT_TRUE(outcome.body) << "a finished exchange always has a body";
    EXPECT_EQ(*outcome.body, c.body);
  }
}

TEST_F(HttpClientTest, ReportsResponseHeadersInOrderAndFindsThemWithoutCase) {
  auto outcome = fetch(client, local.url("/ok"));
  ASSERT_TRUE(outcome.response);
  EXPECT_EQ(outcome.response->header("x-test"), "yes");
  EXPECT_EQ(outcome.response->header("CONTENT-LENGTH"), "5");
  EXPECT_EQ(outcome.response->header("X-Absent"), std::nullopt);
  const auto& headers = outcome.response->headers;
  ASSERT_FALSE(headers.empty());
  for (const auto& [name, value] : headers) {
    EXPECT_FALSE(name.empty());
    EXPECT_EQ(value.find_first_of("\r\n"), std::string::npos) << name;
  }
}

TEST_F(HttpClientTest, HeadRequestGetsHeadersAndEmptyBody) {
  HttpRequest request;
  request.url = local.url("/ok");
  request.method = HttpMethod::HEAD;
  auto outcome = fetch(client, request);
  ASSERT_FALSE(outcome.error) << outcome.error->message;
  ASSERT_TRUE(outcome.response);
  EXPECT_EQ(outcome.response->statusCode, 200);
  EXPECT_EQ(outcome.response->header("X-Test"), "yes");
  ASSERT_TRUE(outcome.body);
  EXPECT_EQ(*outcome.body, "");
}

TEST_F(HttpClientTest, SendsRequestHeadersAndNoCacheForReload) {
  HttpRequest request;
  request.url = local.url("/echo-headers");
  request.headers = {{"X-Custom", "one two"}};
  auto plain = fetch(client, request);
  EXPECT_NE(textOf(plain).find("X-Custom=one two\n"), std::string::npos) << textOf(plain);
  EXPECT_EQ(textOf(plain).find("Cache-Control"), std::string::npos) << textOf(plain);

  request.cachePolicy = CachePolicy::reloadIgnoringLocalCacheData;
  auto reload = fetch(client, request);
  EXPECT_NE(textOf(reload).find("Cache-Control=no-cache\n"), std::string::npos) << textOf(reload);
}

TEST_F(HttpClientTest, DecodesCompressedBodies) {
  const std::string text(200'000, 'a');
  local.server().Get("/text", [&text](const httplib::Request&, httplib::Response& res) {
    res.set_content(text, "text/plain");  // the server compresses text when asked to
  });
  auto outcome = fetch(client, local.url("/text"));
  ASSERT_TRUE(outcome.response);
  EXPECT_TRUE(outcome.response->header("Content-Encoding")) << "the client offers no encoding";
  EXPECT_EQ(textOf(outcome), text);
}

TEST_F(HttpClientTest, FollowsRedirectAndKeepsOnlyTheFinalHeaders) {
  local.server().Get("/moved", [](const httplib::Request&, httplib::Response& res) {
    res.set_header("X-From-Redirect", "1");
    res.set_redirect("/ok", 302);
  });
  auto outcome = fetch(client, local.url("/moved"));
  ASSERT_FALSE(outcome.error) << outcome.error->message;
  ASSERT_TRUE(outcome.response);
  EXPECT_EQ(outcome.response->statusCode, 200);
  EXPECT_EQ(outcome.response->url, local.url("/ok"));
  EXPECT_EQ(outcome.response->header("X-Test"), "yes");
  EXPECT_EQ(outcome.response->header("X-From-Redirect"), std::nullopt);
  EXPECT_EQ(textOf(outcome), "hello");
}

TEST_F(HttpClientTest, RedirectThatCannotBeFollowedIsTheResponse) {
  local.server().Get("/no-location", [](const httplib::Request&, httplib::Response& res) {
    res.status = 302;
    res.set_content("nowhere to go", "application/octet-stream");
  });
  local.server().Get("/to-file", [](const httplib::Request&, httplib::Response& res) {
    res.set_redirect("file:///etc/passwd", 302);
  });

  auto noLocation = fetch(client, local.url("/no-location"));
  ASSERT_FALSE(noLocation.error) << noLocation.error->message;
  ASSERT_TRUE(noLocation.response);
  EXPECT_EQ(noLocation.response->statusCode, 302);
  EXPECT_EQ(textOf(noLocation), "nowhere to go");

  auto toFile = fetch(client, local.url("/to-file"));
  ASSERT_FALSE(toFile.error) << toFile.error->message;
  ASSERT_TRUE(toFile.response);
  EXPECT_EQ(toFile.response->statusCode, 302);
  EXPECT_EQ(toFile.response->url, local.url("/to-file"));
  EXPECT_EQ(toFile.response->header("Location"), "file:///etc/passwd");
  EXPECT_EQ(textOf(toFile).find("root:"), std::string::npos) << "the file was read";
}

TEST_F(HttpClientTest, EndlessRedirectsAreTooManyRedirects) {
  local.server().Get("/loop", [](const httplib::Request&, httplib::Response& res) {
    res.set_redirect("/loop", 302);
  });
  auto outcome = fetch(client, local.url("/loop"));
  ASSERT_TRUE(outcome.error);
  EXPECT_EQ(outcome.error->code, HttpErrorCode::tooManyRedirects) << outcome.error->message;
  EXPECT_FALSE(outcome.body);
  EXPECT_LT(local.requestCount("/loop"), 20u);
}

TEST_F(HttpClientTest, FailuresWithoutResponseAreTheirOwnErrorCase) {
  struct Case {
    std::string url;
    HttpErrorCode code;
    std::vector<std::pair<std::string, std::string>> headers = {};
  };
  const Case cases[] = {
      {"http://127.0.0.1:" + std::to_string(test::unusedLocalPort()) + "/",
       HttpErrorCode::cannotConnect},
      {"http://nonexistent.invalid/", HttpErrorCode::cannotFindHost},
      {"", HttpErrorCode::badURL},
      {"not a url", HttpErrorCode::badURL},
      {"127.0.0.1/no-scheme", HttpErrorCode::badURL},
      {"http://", HttpErrorCode::badURL},
      {"file:///etc/passwd", HttpErrorCode::badURL},
      {"ftp://127.0.0.1/", HttpErrorCode::badURL},
      {local.url("/ok"), HttpErrorCode::badURL, {{"X-Bad", "a\r\nX-Injected: 1"}}},
      {local.url("/ok"), HttpErrorCode::badURL, {{"Bad Name", "x"}}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.url);
    HttpRequest request;
    request.url = c.url;
    request.headers = c.headers;
    auto outcome = fetch(client, request);
    ASSERT_TRUE(outcome.error);
    EXPECT_EQ(outcome.error->code, c.code)
        << toString(outcome.error->code) << ": " << outcome.error->message;
    EXPECT_FALSE(outcome.error->message.empty());
    EXPECT_FALSE(outcome.response);
    EXPECT_FALSE(outcome.body);
  }
  EXPECT_EQ(local.requestCount("/ok"), 0u);
}

TEST_F(HttpClientTest, SlowServerTimesOutPromptlyWithoutResponse) {
  HttpRequest request;
  request.url = local.url("/slow");
  request.timeoutInterval = 0.3;
  auto started = std::chrono::steady_clock::now();
  auto outcome = fetch(client, request);
  auto elapsed = std::chrono::steady_clock::now() - started;
  ASSERT_TRUE(outcome.error);
  EXPECT_EQ(outcome.error->code, HttpErrorCode::timedOut) << outcome.error->message;
  EXPECT_FALSE(outcome.response);
  EXPECT_FALSE(outcome.body);
  EXPECT_GE(elapsed, 300ms);
  EXPECT_LT(elapsed, 3s);
}

TEST_F(HttpClientTest, CancelEndsRunningRequestPromptly) {
  Completion completion;
  auto task = client.dataTask(local.url("/slow"), completion.callback());
  ASSERT_EQ(slowArrived.get_future().wait_for(kDeadline), std::future_status::ready);
  auto started = std::chrono::steady_clock::now();
  task->cancel();
  auto outcome = completion.wait();
  EXPECT_LT(std::chrono::steady_clock::now() - started, 3s);
  ASSERT_TRUE(outcome.error);
  EXPECT_EQ(outcome.error->code, HttpErrorCode::cancelled);
  EXPECT_FALSE(outcome.response);
  EXPECT_FALSE(outcome.body);
  task->cancel();                   // a second cancel changes nothing
  fetch(client, local.url("/ok"));  // completions run in order: a stray one would be here by now
  EXPECT_EQ(completion.calls(), 1);
}

TEST_F(HttpClientTest, CancelRightAfterStartAndAfterFinishing) {
  Completion early;
  client.dataTask(local.url("/ok"), early.callback())->cancel();
  auto cancelled = early.wait();
  ASSERT_TRUE(cancelled.error);
  EXPECT_EQ(cancelled.error->code, HttpErrorCode::cancelled);

  Completion late;
  auto task = client.dataTask(local.url("/ok"), late.callback());
  auto finished = late.wait();
  task->cancel();
  fetch(client, local.url("/ok"));
  EXPECT_FALSE(finished.error);
  EXPECT_EQ(textOf(finished), "hello");
  EXPECT_EQ(early.calls(), 1);
  EXPECT_EQ(late.calls(), 1);
}

TEST_F(HttpClientTest, BodyOverTheLimitStopsWithResponseAndNoBody) {
  const std::string exact(1000, 'x');
  local.server().Get("/exact", [&exact](const httplib::Request&, httplib::Response& res) {
    res.set_content(exact, "application/octet-stream");
  });
  local.server().Get("/sized", [](const httplib::Request&, httplib::Response& res) {
    res.set_content(std::string(1001, 'x'), "application/octet-stream");
  });
  local.server().Get("/compressible", [](const httplib::Request&, httplib::Response& res) {
    res.set_content(std::string(100'000, 'x'), "text/plain");  // small once compressed
  });
  local.server().Get("/endless", [this](const httplib::Request&, httplib::Response& res) {
    res.set_chunked_content_provider(
        "application/octet-stream", [this](size_t, httplib::DataSink& sink) {
          static const std::string chunk(64 * 1024, 'x');
          return sink.write(chunk.data(), chunk.size()) && local.sleepFor(1ms);
        });
  });

  HttpRequest request;
  request.maxBodySize = 1000;
  request.url = local.url("/exact");
  EXPECT_EQ(textOf(fetch(client, request)), exact);

  for (const char* path : {"/sized", "/compressible", "/endless"}) {
    SCOPED_TRACE(path);
    request.url = local.url(path);
    auto outcome = fetch(client, request);
    ASSERT_TRUE(outcome.error);
    EXPECT_EQ(outcome.error->code, HttpErrorCode::bodyTooLarge) << outcome.error->message;
    EXPECT_FALSE(outcome.body);
    ASSERT_TRUE(outcome.response);
    EXPECT_EQ(outcome.response->statusCode, 200);
    EXPECT_EQ(outcome.response->url, local.url(path));
  }
}

TEST_F(HttpClientTest, CompletesOffTheCallingThreadOneThreadForAll) {
  auto caller = std::this_thread::get_id();
  auto good = fetch(client, local.url("/ok"));
  auto bad = fetch(client, "not a url");
  EXPECT_NE(good.thread, caller);
  EXPECT_NE(bad.thread, caller);
  EXPECT_EQ(good.thread, bad.thread);
}

TEST_F(HttpClientTest, ReusesConnections) {
  for (int i = 0; i < 10; ++i)
    fetch(client, local.url("/ok"));
  EXPECT_EQ(local.requestCount("/ok"), 10u);
  EXPECT_LT(local.connectionCount(), 10u);
}

TEST(HttpClientConcurrencyTest, ManyConcurrentRequestsCompleteOnceEach) {
  constexpr int kRequests = 50;
  // The client runs the requests concurrently; the server answers them one
  // at a time (one worker, one request per connection), since Debian's
  // cpp-httplib is not built for ThreadSanitizer and its concurrent routing
  // shows up as races inside the library.
  LocalHttpServer local(1);
  local.server().set_keep_alive_max_count(1);
  local.server().Get("/n", [](const httplib::Request& req, httplib::Response& res) {
    res.set_content(req.get_param_value("i"), "application/octet-stream");
  });
  const std::string base = local.url("/n?i=");  // serving starts here, before the threads
  HttpClient client;
  std::vector<Completion> completions(kRequests);
  std::vector<std::thread> starters;
  for (int t = 0; t < 5; ++t) {  // start them from several threads at once
    starters.emplace_back([&, t] {
      for (int i = t; i < kRequests; i += 5) {
        client.dataTask(base + std::to_string(i), completions[i].callback());
      }
    });
  }
  for (auto& starter : starters)
    starter.join();
  for (int i = 0; i < kRequests; ++i) {
    auto outcome = completions[i].wait();
    EXPECT_FALSE(outcome.error) << i << ": " << outcome.error->message;
    EXPECT_EQ(textOf(outcome), std::to_string(i));
  }
  fetch(client, local.url("/n?i=last"));
  for (const auto& completion : completions)
    EXPECT_EQ(completion.calls(), 1);
}

TEST(HttpClientLifetimeTest, DestroyingTheClientDropsRunningRequests) {
  LocalHttpServer local;
  std::promise<void> arrived;
  local.server().Get("/slow", [&](const httplib::Request&, httplib::Response& res) {
    arrived.set_value();
    local.sleepFor(30s);
    res.set_content("late", "application/octet-stream");
  });
  std::atomic<int> calls = 0;
  std::shared_ptr<HttpDataTask> task;
  auto started = std::chrono::steady_clock::now();
  {
    HttpClient client;
    task = client.dataTask(local.url("/slow"), [&](Bytes, auto, auto) { ++calls; });
    ASSERT_EQ(arrived.get_future().wait_for(kDeadline), std::future_status::ready);
  }
  EXPECT_LT(std::chrono::steady_clock::now() - started, 5s);
  task->cancel();  // outlives its client harmlessly
  EXPECT_EQ(calls, 0);
}

TEST(HttpClientLifetimeTest, SharedClientIsOneClientThatWorks) {
  LocalHttpServer local;
  local.server().Get("/ok", [](const httplib::Request&, httplib::Response& res) {
    res.set_content("shared", "application/octet-stream");
  });
  auto shared = HttpClient::shared();
  EXPECT_EQ(shared, HttpClient::shared());
  // Left running until the process exits, which must be clean.
  EXPECT_EQ(textOf(fetch(*shared, local.url("/ok"))), "shared");
}

}  // namespace
}  // namespace telvora
