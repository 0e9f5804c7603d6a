#include <telvora/AppInfo.hpp>

#include <cerrno>
#include <mutex>

namespace telvora {
namespace {

struct Info {
  std::mutex mutex;
  std::optional<std::string> packageIdentifier;
  std::optional<std::string> name;
};

Info& info() {
  static Info* const instance = [] {
    auto* i = new Info;  // never destroyed: readable during static destruction
    const char* program = program_invocation_short_name;
    if (program != nullptr && *program != '\0') i->name = program;
    return i;
  }();
  return *instance;
}

}  // namespace

std::optional<std::string> AppInfo::packageIdentifier() {
  std::lock_guard lock(info().mutex);
  return info().packageIdentifier;
}

void AppInfo::setPackageIdentifier(std::optional<std::string> identifier) {
  std::lock_guard lock(info().mutex);
  info().packageIdentifier = std::move(identifier);
}

std::optional<std::string> AppInfo::name() {
  std::lock_guard lock(info().mutex);
  return info().name;
}

void AppInfo::setName(std::optional<std::string> name) {
  std::lock_guard lock(info().mutex);
  info().name = std::move(name);
}

}  // namespace telvora
