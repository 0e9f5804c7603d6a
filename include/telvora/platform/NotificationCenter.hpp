#pragma once

#include <any>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <string_view>

namespace telvora {

// Values carried by a notification, by key.
using UserInfo = std::map<std::string, std::any, std::less<>>;

struct Notification {
  std::string name;
  const void* object = nullptr;  // the sender, if the poster named one
  UserInfo userInfo;
};

namespace detail {
struct NotificationCenterState;
struct ObserverEntry;
}  // namespace detail

// Delivers named notifications to the observers registered for them.
//
// Thread-safe: observers may be added, removed and notified from any thread.
// post() is synchronous: it calls each matching observer on the posting
// thread, in the order they were added, before it returns. An observer
// removed on the posting thread (also from inside another observer of the
// same post) is not called again; one removed on another thread while a post
// is under way may still see that post once.
class NotificationCenter {
 public:
  // A registration. Removes itself when destroyed; move-only.
  class [[nodiscard]] Observation {
   public:
    Observation() = default;
    Observation(Observation&&) noexcept = default;
    Observation& operator=(Observation&& other) noexcept;
    Observation(const Observation&) = delete;
    Observation& operator=(const Observation&) = delete;
    ~Observation();

    void remove();
    bool isActive() const;

   private:
    friend class NotificationCenter;
    Observation(std::weak_ptr<detail::NotificationCenterState> center,
                std::shared_ptr<detail::ObserverEntry> entry);
    std::weak_ptr<detail::NotificationCenterState> center_;
    std::shared_ptr<detail::ObserverEntry> entry_;
  };

  using Block = std::function<void(const Notification&)>;

  NotificationCenter();
  ~NotificationCenter();
  NotificationCenter(const NotificationCenter&) = delete;
  NotificationCenter& operator=(const NotificationCenter&) = delete;

  static NotificationCenter& defaultCenter();

  // Observes notifications called `name`; with a `sender`, only those posted
  // with that object.
  Observation addObserver(std::string name, const void* sender, Block block);
  Observation addObserver(std::string name, Block block) {
    return addObserver(std::move(name), nullptr, std::move(block));
  }
  void removeObserver(Observation& observation) { observation.remove(); }

  void post(std::string_view name, const void* object = nullptr, UserInfo userInfo = {});

 private:
  std::shared_ptr<detail::NotificationCenterState> state_;
};

}  // namespace telvora
