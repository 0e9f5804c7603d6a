#pragma once

#include <telvora/platform/Button.hpp>
#include <telvora/platform/View.hpp>

#include <functional>
#include <memory>
#include <string>
#include <type_traits>
#include <utility>
#include <vector>

namespace telvora {

// How the interface-file loader makes one view class and wires it: the
// class's name in the file, how to construct it, its outlets (members that
// refer, weakly, to other objects of the file) and its actions (methods a
// button of the file sends on a tap).
//
// Every outlet a class declares is required: a file that leaves one of them
// unconnected, or connects it to an object of the wrong kind, loads nothing.
// So a loaded view can rely on its parts being there.
//
//   static const NibClass kClass = NibClass::of<SkipView>("SkipView")
//       .outlet("textLabel", &SkipView::textLabel)
//       .action("skipAction", &SkipView::skipAction);
class NibClass {
 public:
  template <class T>
  static NibClass of(std::string name) {
    static_assert(std::is_base_of_v<View, T>);
    return NibClass(std::move(name), [] { return std::shared_ptr<View>(std::make_shared<T>()); });
  }

  template <class T, class U>
  NibClass& outlet(std::string name, std::weak_ptr<U> T::*member) {
    static_assert(std::is_base_of_v<View, T> && std::is_base_of_v<View, U>);
    outlets_.push_back(
        {std::move(name), [member](View& owner, const std::shared_ptr<View>& target) {
           auto* self = dynamic_cast<T*>(&owner);
           std::shared_ptr<U> value = std::dynamic_pointer_cast<U>(target);
           if (self == nullptr || !value) return false;
           self->*member = value;
           return true;
         }});
    return *this;
  }

  template <class T>
  NibClass& action(std::string name, void (T::*method)(Button& sender)) {
    static_assert(std::is_base_of_v<View, T>);
    actions_.push_back({std::move(name), [method](const std::shared_ptr<View>& target) {
                          const std::weak_ptr<T> weak = std::dynamic_pointer_cast<T>(target);
                          if (weak.expired()) return Button::Action();
                          return Button::Action([weak, method](Button& sender) {
                            if (const std::shared_ptr<T> self = weak.lock()) {
                              (self.get()->*method)(sender);
                            }
                          });
                        }});
    return *this;
  }

  const std::string& name() const { return name_; }

 private:
  friend class Nib;
  struct Outlet {
    std::string name;
    std::function<bool(View& owner, const std::shared_ptr<View>& target)> connect;
  };
  struct ActionMethod {
    std::string name;
    // An action that calls the method on `target`, holding it weakly; empty
    // when `target` is not of the class.
    std::function<Button::Action(const std::shared_ptr<View>& target)> bind;
  };

  NibClass(std::string name, std::function<std::shared_ptr<View>()> make)
      : name_(std::move(name)), make_(std::move(make)) {}

  std::string name_;
  std::function<std::shared_ptr<View>()> make_;
  std::vector<Outlet> outlets_;
  std::vector<ActionMethod> actions_;
};

}  // namespace telvora
