#include <telvora/platform/NotificationCenter.hpp>

#include <algorithm>
#include <atomic>
#include <mutex>
#include <utility>
#include <vector>

namespace telvora {

namespace detail {

struct ObserverEntry {
  ObserverEntry(std::string n, const void* s, NotificationCenter::Block b)
      : name(std::move(n)), sender(s), block(std::move(b)) {}

  const std::string name;
  const void* const sender;
  const NotificationCenter::Block block;
  // Checked just before each call, so a removal made during a post holds.
  std::atomic<bool> active{true};
};

using ObserverMap = std::map<std::string, std::vector<std::shared_ptr<ObserverEntry>>, std::less<>>;

struct NotificationCenterState {
  void remove(const std::shared_ptr<ObserverEntry>& entry) {
    std::lock_guard lock(mutex);
    auto it = observers.find(entry->name);
    if (it == observers.end()) return;
    auto& list = it->second;
    list.erase(std::remove(list.begin(), list.end(), entry), list.end());
    if (list.empty()) observers.erase(it);
  }

  std::mutex mutex;
  ObserverMap observers;  // by name, each list in the order added
};

}  // namespace detail

NotificationCenter::Observation::Observation(std::weak_ptr<detail::NotificationCenterState> center,
                                             std::shared_ptr<detail::ObserverEntry> entry)
    : center_(std::move(center)), entry_(std::move(entry)) {}

NotificationCenter::Observation& NotificationCenter::Observation::operator=(
    Observation&& other) noexcept {
  if (this != &other) {
    remove();
    center_ = std::move(other.center_);
    entry_ = std::move(other.entry_);
  }
  return *this;
}

NotificationCenter::Observation::~Observation() {
  remove();
}

void NotificationCenter::Observation::remove() {
  if (!entry_) return;
  entry_->active = false;
  if (auto center = center_.lock()) center->remove(entry_);
  center_.reset();
  entry_.reset();  // the block goes once no post under way holds it
}

bool NotificationCenter::Observation::isActive() const {
  return entry_ && entry_->active;
}

NotificationCenter::NotificationCenter()
    : state_(std::make_shared<detail::NotificationCenterState>()) {}

NotificationCenter::~NotificationCenter() {
  detail::ObserverMap dropped;
  {
    std::lock_guard lock(state_->mutex);
    dropped.swap(state_->observers);
  }
  for (auto& [name, list] : dropped) {
    for (auto& entry : list)
      entry->active = false;
  }
}

NotificationCenter& NotificationCenter::defaultCenter() {
  // Never destroyed: observations held by other statics may outlive it.
  static NotificationCenter* const center = new NotificationCenter();
  return *center;
}

NotificationCenter::Observation NotificationCenter::addObserver(std::string name,
                                                                const void* sender, Block block) {
  if (!block) return Observation();
  auto entry = std::make_shared<detail::ObserverEntry>(name, sender, std::move(block));
  {
    std::lock_guard lock(state_->mutex);
    state_->observers[std::move(name)].push_back(entry);
  }
  return Observation(state_, std::move(entry));
}

void NotificationCenter::post(std::string_view name, const void* object, UserInfo userInfo) {
  std::vector<std::shared_ptr<detail::ObserverEntry>> matching;
  {
    std::lock_guard lock(state_->mutex);
    auto it = state_->observers.find(name);
    if (it == state_->observers.end()) return;
    for (const auto& entry : it->second) {
      if (entry->sender == nullptr || entry->sender == object) matching.push_back(entry);
    }
  }
  const Notification notification{std::string(name), object, std::move(userInfo)};
  for (const auto& entry : matching) {
    if (entry->active) entry->block(notification);
  }
}

}  // namespace telvora
