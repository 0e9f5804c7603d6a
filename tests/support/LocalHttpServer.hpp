#pragma once

#include <httplib.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <map>
#include <mutex>
#include <set>
#include <string>
#include <string_view>
#include <thread>

namespace telvora::test {

// A real HTTP server for tests: cpp-httplib on 127.0.0.1 and an ephemeral
// port, serving from its own thread. The constructor binds the port (it
// throws std::runtime_error if it cannot); the first url() or port() starts
// serving and returns once the server accepts connections; the destructor
// stops it and joins every thread it started.
//
// Register handlers on server() before the first url() or port().
// The server keeps its own pre-routing handler to count requests and
// connections: do not replace it.
//
// Destroy the clients that talked to the server before the server itself:
// a worker waits on an idle keep-alive connection for up to a second.
class LocalHttpServer {
  // Reaches the listening socket, whose backlog cpp-httplib leaves at 5: too
  // few for a burst of connections, which would then wait on SYN retries.
  struct Server : httplib::Server {
    int listeningSocket() const { return svr_sock_; }
  };

 public:
  // `workers`: handler threads, one per open connection; raise it for tests
  // that hold many connections open at once.
  explicit LocalHttpServer(std::size_t workers = 8);
  ~LocalHttpServer();
  LocalHttpServer(const LocalHttpServer&) = delete;
  LocalHttpServer& operator=(const LocalHttpServer&) = delete;

  httplib::Server& server() { return server_; }
  int port() const {
    start();
    return port_;
  }
  // "http://127.0.0.1:PORT" followed by `path`.
  std::string url(std::string_view path = "/") const;

  // Requests received for `path` (without query), counted before the handler runs.
  std::size_t requestCount(const std::string& path) const;
  // Distinct client connections seen, told apart by their source port.
  std::size_t connectionCount() const;

  // For slow handlers: blocks up to `duration`, returning early (false) once
  // the server is shutting down, so a slow handler never holds up teardown.
  bool sleepFor(std::chrono::milliseconds duration);

 private:
  mutable Server server_;
  int port_ = -1;
  // Starts the accept loop (and its workers) on first use of url() or
  // port(), so that everything the test set up before (handlers, the state
  // they use) is ordered before the worker threads exist. Requests reach
  // the workers over sockets, which ThreadSanitizer does not count as
  // synchronisation.
  void start() const;
  void startAcceptLoop() const;

  mutable std::atomic<bool> listen_ended_ = false;
  mutable std::once_flag started_;
  mutable std::thread thread_;

  mutable std::mutex mutex_;
  std::condition_variable stopping_changed_;
  bool stopping_ = false;
  std::map<std::string, std::size_t> requests_;
  std::set<int> client_ports_;
};

// A loopback port where nothing listens (taken from the kernel and released).
int unusedLocalPort();

}  // namespace telvora::test
