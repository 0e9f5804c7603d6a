#include <telvora/platform/CircularCountdownView.hpp>
#include <telvora/platform/Label.hpp>
#include <telvora/platform/Nib.hpp>

#include <nlohmann/json.hpp>

#include <cmath>
#include <initializer_list>
#include <map>
#include <set>
#include <stdexcept>

namespace telvora {
namespace {

using Json = nlohmann::json;
using R = Result<Nib::Objects, Nib::Error>;

// Thrown while reading a document, caught in instantiate(); the text says
// where the document is wrong.
class Malformed : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

const std::vector<NibClass>& toolkitClasses() {
  static const std::vector<NibClass> classes = {
      NibClass::of<View>("View"),
      NibClass::of<Label>("Label"),
      NibClass::of<Button>("Button"),
      NibClass::of<CircularCountdownView>("CircularCountdownView"),
  };
  return classes;
}

std::string inQuotes(std::string_view s) {
  return "\"" + std::string(s) + "\"";
}

double readNumber(const Json& value, const std::string& path) {
  if (!value.is_number()) throw Malformed(path + ": expected a number");
  const double d = value.get<double>();
  if (!std::isfinite(d)) throw Malformed(path + ": not a finite number");
  return d;
}

double readNonNegative(const Json& value, const std::string& path) {
  const double d = readNumber(value, path);
  if (d < 0) throw Malformed(path + ": must not be negative");
  return d;
}

const std::string& readString(const Json& value, const std::string& path) {
  if (!value.is_string()) throw Malformed(path + ": expected a string");
  return value.get_ref<const std::string&>();
}

bool readBool(const Json& value, const std::string& path) {
  if (!value.is_boolean()) throw Malformed(path + ": expected true or false");
  return value.get<bool>();
}

const Json& readObject(const Json& value, const std::string& path,
                       std::initializer_list<std::string_view> keys) {
  if (!value.is_object()) throw Malformed(path + ": expected an object");
  for (const auto& [key, _] : value.items()) {
    bool known = false;
    for (std::string_view k : keys)
      known = known || k == key;
    if (!known) throw Malformed(path + ": unknown key " + inQuotes(key));
  }
  return value;
}

// `member` of `object`, or null when absent.
const Json* find(const Json& object, std::string_view member) {
  const auto it = object.find(member);
  return it == object.end() ? nullptr : &*it;
}

Rect readFrame(const Json& value, const std::string& path) {
  const Json& o = readObject(value, path, {"x", "y", "width", "height"});
  Rect r;
  if (const Json* v = find(o, "x")) r.x = readNumber(*v, path + ".x");
  if (const Json* v = find(o, "y")) r.y = readNumber(*v, path + ".y");
  if (const Json* v = find(o, "width")) r.width = readNonNegative(*v, path + ".width");
  if (const Json* v = find(o, "height")) r.height = readNonNegative(*v, path + ".height");
  return r;
}

Color readColor(const Json& value, const std::string& path) {
  const Json& o = readObject(value, path, {"red", "green", "blue", "alpha"});
  Color c;
  double* parts[] = {&c.red, &c.green, &c.blue, &c.alpha};
  const char* names[] = {"red", "green", "blue", "alpha"};
  for (int i = 0; i < 4; ++i) {
    const Json* v = find(o, names[i]);
    if (v == nullptr) continue;
    *parts[i] = readNumber(*v, path + "." + names[i]);
    if (*parts[i] > 1 || *parts[i] < 0) throw Malformed(path + "." + names[i] + ": not in 0...1");
  }
  return c;
}

}  // namespace

// Builds the objects of one document and wires them.
class Nib::Loader {
 public:
  explicit Loader(const std::vector<NibClass>& classes) : classes_(classes) {}

  Nib::Objects load(const Json& document) {
    const Json& root = readObject(document, "document", {"objects"});
    const Json* objects = find(root, "objects");
    if (objects == nullptr || !objects->is_array() || objects->empty()) {
      throw Malformed("objects: expected an array of at least one object");
    }
    Nib::Objects topLevel;
    for (std::size_t i = 0; i < objects->size(); ++i) {
      topLevel.push_back(build((*objects)[i], "objects[" + std::to_string(i) + "]", 1));
    }
    for (const Built& b : built_)
      connectOutlets(b);
    for (const Built& b : built_)
      connectActions(b);
    for (const Built& b : built_)
      b.view->awakeFromNib();
    return topLevel;
  }

 private:
  struct Built {
    std::shared_ptr<View> view;
    const NibClass* cls;
    const Json* node;
    std::string path;
  };

  const NibClass* classNamed(std::string_view name) const {
    for (const NibClass& c : classes_) {
      if (c.name() == name) return &c;
    }
    for (const NibClass& c : toolkitClasses()) {
      if (c.name() == name) return &c;
    }
    return nullptr;
  }

  std::shared_ptr<View> build(const Json& node, const std::string& path, int depth) {
    if (depth > Nib::kMaxDepth) throw Malformed(path + ": views nested too deeply");
    if (built_.size() >= Nib::kMaxObjects) throw Malformed(path + ": too many objects");
    if (!node.is_object()) throw Malformed(path + ": expected an object");
    const Json* className = find(node, "class");
    if (className == nullptr) throw Malformed(path + ": no class");
    const std::string& name = readString(*className, path + ".class");
    const NibClass* cls = classNamed(name);
    if (cls == nullptr) throw Malformed(path + ".class: unknown class " + inQuotes(name));
    std::shared_ptr<View> view = cls->make_();
    if (!view) throw Malformed(path + ": could not make a " + cls->name());

    auto* label = dynamic_cast<Label*>(view.get());
    auto* button = dynamic_cast<Button*>(view.get());
    auto* countdown = dynamic_cast<CircularCountdownView*>(view.get());
    for (const auto& [key, value] : node.items()) {
      const std::string at = path + "." + key;
      if (key == "class" || key == "children" || key == "outlets" || (button && key == "actions")) {
        continue;  // read below or once every object exists
      } else if (key == "id") {
        const std::string& id = readString(value, at);
        if (id.empty()) throw Malformed(at + ": empty");
        if (!ids_.emplace(id, view).second) throw Malformed(at + ": duplicate id " + inQuotes(id));
      } else if (key == "frame") {
        view->frame = readFrame(value, at);
      } else if (key == "hidden") {
        view->hidden = readBool(value, at);
      } else if (key == "backgroundColor") {
        view->backgroundColor = readColor(value, at);
      } else if (key == "cornerRadius") {
        view->layer.cornerRadius = readNonNegative(value, at);
      } else if (key == "zPosition") {
        view->layer.zPosition = readNumber(value, at);
      } else if (label && key == "text") {
        label->text = readString(value, at);
      } else if (label && key == "textColor") {
        label->textColor = readColor(value, at);
      } else if (button && key == "title") {
        button->title = readString(value, at);
      } else if (countdown && key == "lineWidth") {
        countdown->lineWidth = readNonNegative(value, at);
      } else if (countdown && key == "lineColor") {
        countdown->lineColor = readColor(value, at);
      } else if (countdown && key == "textColor") {
        countdown->textColor = readColor(value, at);
      } else {
        throw Malformed(path + ": unknown key " + inQuotes(key) + " for a " + cls->name());
      }
    }
    built_.push_back({view, cls, &node, path});

    if (const Json* children = find(node, "children")) {
      if (!children->is_array()) throw Malformed(path + ".children: expected an array");
      for (std::size_t i = 0; i < children->size(); ++i) {
        view->addSubview(
            build((*children)[i], path + ".children[" + std::to_string(i) + "]", depth + 1));
      }
    }
    return view;
  }

  const std::shared_ptr<View>& object(const Json& id, const std::string& path) const {
    const std::string& name = readString(id, path);
    const auto it = ids_.find(name);
    if (it == ids_.end()) throw Malformed(path + ": no object with id " + inQuotes(name));
    return it->second;
  }

  void connectOutlets(const Built& b) {
    std::set<std::string, std::less<>> connected;
    if (const Json* outlets = find(*b.node, "outlets")) {
      const std::string path = b.path + ".outlets";
      if (!outlets->is_object()) throw Malformed(path + ": expected an object");
      for (const auto& [name, id] : outlets->items()) {
        const std::string at = path + "." + name;
        const NibClass::Outlet* outlet = nullptr;
        for (const NibClass::Outlet& o : b.cls->outlets_) {
          if (o.name == name) outlet = &o;
        }
        if (outlet == nullptr) throw Malformed(at + ": " + b.cls->name() + " has no such outlet");
        if (!outlet->connect(*b.view, object(id, at))) {
          throw Malformed(at + ": the object is of the wrong kind");
        }
        connected.insert(name);
      }
    }
    for (const NibClass::Outlet& o : b.cls->outlets_) {
      if (!connected.contains(o.name)) {
        throw Malformed(b.path + ": outlet " + inQuotes(o.name) + " is not connected");
      }
    }
  }

  void connectActions(const Built& b) {
    auto* button = dynamic_cast<Button*>(b.view.get());
    const Json* actions = button ? find(*b.node, "actions") : nullptr;
    if (actions == nullptr) return;
    const std::string path = b.path + ".actions";
    if (!actions->is_array()) throw Malformed(path + ": expected an array");
    for (std::size_t i = 0; i < actions->size(); ++i) {
      const std::string at = path + "[" + std::to_string(i) + "]";
      const Json& entry = readObject((*actions)[i], at, {"action", "target"});
      const Json* name = find(entry, "action");
      const Json* target = find(entry, "target");
      if (name == nullptr || target == nullptr) throw Malformed(at + ": needs action and target");
      const std::string& actionName = readString(*name, at + ".action");
      const std::shared_ptr<View>& receiver = object(*target, at + ".target");
      const NibClass* receiverClass = nullptr;
      for (const Built& other : built_) {
        if (other.view == receiver) receiverClass = other.cls;
      }
      Button::Action action;
      if (receiverClass == nullptr) throw Malformed(at + ".target: not an object of the file");
      for (const NibClass::ActionMethod& m : receiverClass->actions_) {
        if (m.name == actionName) action = m.bind(receiver);
      }
      if (!action) {
        throw Malformed(at + ": " + receiverClass->name() + " has no action " +
                        inQuotes(actionName));
      }
      button->addAction(std::move(action));
    }
  }

  const std::vector<NibClass>& classes_;
  std::vector<Built> built_;  // every object, parents before children
  std::map<std::string, std::shared_ptr<View>, std::less<>> ids_;
};

Result<Nib::Objects, Nib::Error> Nib::instantiate(const Bundle& bundle, std::string_view name,
                                                  const std::vector<NibClass>& classes) {
  auto text = bundle.contents(std::string(name) + ".json", kMaxFileSize);
  if (!text.ok()) {
    return R::failure(text.error() == Bundle::Error::tooLarge ? Error::tooLarge : Error::notFound,
                      text.detail());
  }
  return instantiate(text.value(), classes);
}

Result<Nib::Objects, Nib::Error> Nib::instantiate(std::string_view text,
                                                  const std::vector<NibClass>& classes) {
  // Each level of views is two levels of JSON (object, children array), and
  // a view's own values go two deeper (frame, colours, actions).
  constexpr int kMaxJsonDepth = 2 * kMaxDepth + 4;
  const Json::parser_callback_t limitDepth = [](int depth, Json::parse_event_t event, Json&) {
    if ((event == Json::parse_event_t::object_start || event == Json::parse_event_t::array_start) &&
        depth >= kMaxJsonDepth) {
      throw Malformed("document: nested too deeply");
    }
    return true;
  };
  try {
    Json document;
    try {
      document = Json::parse(text.begin(), text.end(), limitDepth);
    } catch (const Json::exception& e) {
      throw Malformed(std::string("document: not valid JSON: ") + e.what());
    }
    return R::success(Loader(classes).load(document));
  } catch (const Malformed& e) {
    return R::failure(Error::malformed, e.what());
  } catch (const Json::exception& e) {
    return R::failure(Error::malformed, e.what());
  }
}

}  // namespace telvora
