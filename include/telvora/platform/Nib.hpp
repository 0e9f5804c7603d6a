#pragma once

#include <telvora/Result.hpp>
#include <telvora/platform/Bundle.hpp>
#include <telvora/platform/NibClass.hpp>
#include <telvora/platform/View.hpp>

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace telvora {

// Builds views from an interface file: a JSON document
//
//   {"objects": [ <object>, ... ]}        at least one top-level object
//
//   <object>: {"class": "SkipView", "id": "skip",
//              "frame": {"x": 0, "y": 0, "width": 100, "height": 24},
//              "hidden": false, "backgroundColor": <colour>, "cornerRadius": 0,
//              "zPosition": 0, "children": [ <object>, ... ],
//              "outlets": {"textLabel": "<id>", ...},
//              Label:  "text", "textColor"
//              Button: "title", "actions": [{"action": "skipAction", "target": "<id>"}]
//              CircularCountdownView: "lineWidth", "lineColor", "textColor"}
//   <colour>: {"red": 0, "green": 0, "blue": 0, "alpha": 1}
//
// Only "class" is required. Classes are the toolkit's own ("View", "Label",
// "Button", "CircularCountdownView") and those the caller passes (which win
// over a toolkit class of the same name). The loader
// builds every object, connects outlets and actions, then calls
// awakeFromNib() on each object in file order, parents before children.
//
// Anything unexpected (bad JSON, an unknown class, key, outlet, action or
// id, a duplicate id, a required outlet left open, a value of the wrong type,
// nesting deeper than kMaxDepth or more than kMaxObjects objects) loads
// nothing: the result is malformed with a detail saying where. Main queue
// only, since it makes views.
class Nib {
 public:
  enum class Error { notFound, tooLarge, malformed };
  using Objects = std::vector<std::shared_ptr<View>>;

  static constexpr std::size_t kMaxFileSize = 1 << 20;
  static constexpr int kMaxDepth = 32;  // levels of views
  static constexpr std::size_t kMaxObjects = 1000;

  // The top-level objects of "<name>.json" in `bundle`, in file order.
  static Result<Objects, Error> instantiate(const Bundle& bundle, std::string_view name,
                                            const std::vector<NibClass>& classes);
  // The same from the document's text.
  static Result<Objects, Error> instantiate(std::string_view text,
                                            const std::vector<NibClass>& classes);

  // The first top-level object of the file named after `cls` ("SkipView"
  // reads "SkipView.json"), if the file loads and that object is a T; else
  // nullptr.
  template <class T>
  static std::shared_ptr<T> loadView(const Bundle& bundle, const NibClass& cls) {
    auto objects = instantiate(bundle, cls.name(), {cls});
    return objects.ok() ? std::dynamic_pointer_cast<T>(objects.value().front()) : nullptr;
  }

 private:
  class Loader;
};

}  // namespace telvora
