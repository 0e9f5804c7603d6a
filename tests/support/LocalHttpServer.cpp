#include "support/LocalHttpServer.hpp"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <stdexcept>

namespace telvora::test {

LocalHttpServer::LocalHttpServer(std::size_t workers) {
  server_.new_task_queue = [workers] { return new httplib::ThreadPool(workers); };
  server_.set_tcp_nodelay(true);  // headers and body go out in separate writes
  server_.set_keep_alive_timeout(1);
  server_.set_keep_alive_max_count(100);
  server_.set_pre_routing_handler([this](const httplib::Request& req, httplib::Response&) {
    std::lock_guard lock(mutex_);
    ++requests_[req.path];
    client_ports_.insert(req.remote_port);
    return httplib::Server::HandlerResponse::Unhandled;
  });

  port_ = server_.bind_to_any_port("127.0.0.1");
  if (port_ <= 0) throw std::runtime_error("LocalHttpServer: cannot bind to 127.0.0.1");
  if (::listen(server_.listeningSocket(), SOMAXCONN) != 0) {
    throw std::runtime_error("LocalHttpServer: cannot widen the listen backlog");
  }
}

void LocalHttpServer::start() const {
  std::call_once(started_, [this] { startAcceptLoop(); });
}

void LocalHttpServer::startAcceptLoop() const {
  thread_ = std::thread([this] {
    server_.listen_after_bind();
    listen_ended_ = true;
  });
  // stop() is a no-op until the accept loop runs, so wait for it.
  while (!server_.is_running() && !listen_ended_) {
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  if (!server_.is_running()) {
    thread_.join();
    throw std::runtime_error("LocalHttpServer: the accept loop did not start");
  }
}

LocalHttpServer::~LocalHttpServer() {
  start();  // so that stop() closes the listening socket
  {
    std::lock_guard lock(mutex_);
    stopping_ = true;
  }
  stopping_changed_.notify_all();
  server_.stop();
  thread_.join();
}

std::string LocalHttpServer::url(std::string_view path) const {
  start();
  return "http://127.0.0.1:" + std::to_string(port_) + std::string(path);
}

std::size_t LocalHttpServer::requestCount(const std::string& path) const {
  std::lock_guard lock(mutex_);
  auto found = requests_.find(path);
  return found == requests_.end() ? 0 : found->second;
}

std::size_t LocalHttpServer::connectionCount() const {
  std::lock_guard lock(mutex_);
  return client_ports_.size();
}

bool LocalHttpServer::sleepFor(std::chrono::milliseconds duration) {
  std::unique_lock lock(mutex_);
  return !stopping_changed_.wait_for(lock, duration, [this] { return stopping_; });
}

int unusedLocalPort() {
  int fd = ::socket(AF_INET, SOCK_STREAM, 0);
  if (fd < 0) throw std::runtime_error("unusedLocalPort: socket() failed");
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  address.sin_port = 0;
  socklen_t length = sizeof address;
  int port = -1;
  if (::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 &&
      ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length) == 0) {
    port = ntohs(address.sin_port);
  }
  ::close(fd);
  if (port <= 0) throw std::runtime_error("unusedLocalPort: bind() failed");
  return port;
}

}  // namespace telvora::test
