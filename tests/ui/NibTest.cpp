#include <telvora/platform/CircularCountdownView.hpp>
#include <telvora/platform/Label.hpp>
#include <telvora/platform/Nib.hpp>
#include <telvora/platform/RunLoop.hpp>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <typeinfo>

namespace telvora {
namespace {

// A view class of the kind a library defines, with outlets and an action.
class Panel : public View {
 public:
  std::weak_ptr<Label> title;
  std::weak_ptr<Button> go;
  int presses = 0;
  bool wiredBeforeAwake = false;

  void awakeFromNib() override {
    View::awakeFromNib();
    wiredBeforeAwake = !title.expired() && !go.expired() && go.lock()->superview() != nullptr;
  }
  void press(Button&) { ++presses; }

  static const NibClass& nibClass() {
    static const NibClass kClass = NibClass::of<Panel>("Panel")
                                       .outlet("title", &Panel::title)
                                       .outlet("go", &Panel::go)
                                       .action("press", &Panel::press);
    return kClass;
  }
};

const char kPanel[] = R"({"objects": [
  {"class": "Panel", "id": "panel", "frame": {"x": 1, "y": 2, "width": 300, "height": 80},
   "backgroundColor": {"red": 0.2, "alpha": 0.5}, "cornerRadius": 4, "zPosition": 3,
   "outlets": {"title": "titleLabel", "go": "goButton"},
   "children": [
     {"class": "Label", "id": "titleLabel", "frame": {"x": 8, "width": 200, "height": 20},
      "text": "Hello", "textColor": {"red": 1, "green": 1, "blue": 1}},
     {"class": "View", "hidden": true, "children": [
       {"class": "CircularCountdownView", "lineWidth": 5}]},
     {"class": "Button", "id": "goButton", "title": "Go",
      "actions": [{"action": "press", "target": "panel"}]}]},
  {"class": "View"}]})";

class NibTest : public ::testing::Test {
 protected:
  void SetUp() override { RunLoop::main().reset(); }
  void TearDown() override { RunLoop::main().reset(); }

  static Result<Nib::Objects, Nib::Error> load(std::string_view text) {
    return Nib::instantiate(text, {Panel::nibClass()});
  }
};

TEST_F(NibTest, BuildsTheObjectsAndWiresTheirOutletsAndActionsBeforeWakingThem) {
  auto result = load(kPanel);
  ASSERT_TRUE(result.ok()) << result.detail();
  const Nib::Objects& objects = result.value();
  ASSERT_EQ(objects.size(), 2u);
  auto panel = std::dynamic_pointer_cast<Panel>(objects[0]);
  ASSERT_TRUE(panel);
  EXPECT_EQ(typeid(*objects[1]), typeid(View));

  EXPECT_EQ(panel->frame, (Rect{1, 2, 300, 80}));
  EXPECT_EQ(panel->backgroundColor, (Color{0.2, 0, 0, 0.5}));
  EXPECT_EQ(panel->layer.cornerRadius, 4);
  EXPECT_EQ(panel->layer.zPosition, 3);
  ASSERT_EQ(panel->subviews().size(), 3u);
  EXPECT_TRUE(panel->subviews()[1]->hidden);
  auto countdown =
      std::dynamic_pointer_cast<CircularCountdownView>(panel->subviews()[1]->subviews().at(0));
  ASSERT_TRUE(countdown);
  EXPECT_EQ(countdown->lineWidth, 5);

  EXPECT_TRUE(panel->wiredBeforeAwake);
  const auto title = panel->title.lock();
  ASSERT_TRUE(title);
  EXPECT_EQ(title, panel->subviews()[0]);
  EXPECT_EQ(title->text, "Hello");
  EXPECT_EQ(title->textColor, Color::white());
  EXPECT_EQ(title->frame, (Rect{8, 0, 200, 20}));

  const auto go = panel->go.lock();
  ASSERT_TRUE(go);
  EXPECT_EQ(go->title, "Go");
  go->tap();
  go->tap();
  RunLoop::main().runUntilIdle();
  EXPECT_EQ(panel->presses, 2);
}

TEST_F(NibTest, ABrokenDocumentLoadsNothingAndSaysWhere) {
  std::string deep = R"({"class": "View"})";
  for (int i = 0; i < Nib::kMaxDepth; ++i)
    deep = R"({"class": "View", "children": [)" + deep + "]}";
  std::string crowd = R"({"class": "View", "children": [)";
  for (std::size_t i = 0; i < Nib::kMaxObjects; ++i)
    crowd += std::string(i ? "," : "") + R"({"class": "View"})";
  crowd += "]}";

  const struct {
    std::string text;
    std::string detail;  // part of the error's detail
  } cases[] = {
      {R"({"objects": [{"class": "View"})", "not valid JSON"},
      {std::string(100000, '['), "nested too deeply"},
      {R"({"objects": []})", "at least one object"},
      {R"([{"class": "View"}])", "document: expected an object"},
      {R"({"objects": [{"class": "View"}], "version": 2})", "unknown key \"version\""},
      {R"({"objects": [{"frame": {}}]})", "objects[0]: no class"},
      {R"({"objects": [{"class": "Window"}]})", "unknown class \"Window\""},
      {R"({"objects": [{"class": "View", "text": "a"}]})", "unknown key \"text\" for a View"},
      {R"({"objects": [{"class": "View", "frame": {"x": "1"}}]})",
       "objects[0].frame.x: expected a number"},
      {R"({"objects": [{"class": "View", "frame": {"width": -1}}]})", "must not be negative"},
      {R"({"objects": [{"class": "View", "backgroundColor": {"red": 2}}]})", "not in 0...1"},
      {R"({"objects": [{"class": "View", "children": {}}]})", "children: expected an array"},
      {R"({"objects": [{"class": "View", "id": "a"}, {"class": "View", "id": "a"}]})",
       "duplicate id"},
      {R"({"objects": [{"class": "Panel"}]})", "outlet \"title\" is not connected"},
      {R"({"objects": [{"class": "Panel", "outlets": {"title": "nobody"}}]})", "no object with id"},
      {R"({"objects": [{"class": "Panel", "id": "p", "outlets": {"title": "p"}}]})",
       "outlets.title: the object is of the wrong kind"},
      {R"({"objects": [{"class": "View", "id": "v", "outlets": {"title": "v"}}]})",
       "View has no such outlet"},
      {R"({"objects": [{"class": "View", "id": "v"},
          {"class": "Button", "actions": [{"action": "press", "target": "v"}]}]})",
       "View has no action \"press\""},
      {R"({"objects": [{"class": "Button", "actions": [{"action": "press"}]}]})",
       "needs action and target"},
      {R"({"objects": [)" + deep + "]}", "nested too deeply"},
      {R"({"objects": [)" + crowd + "]}", "too many objects"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text.substr(0, 120));
    auto result = load(c.text);
    ASSERT_FALSE(result.ok());
    EXPECT_EQ(result.error(), Nib::Error::malformed);
    EXPECT_NE(result.detail().find(c.detail), std::string::npos) << result.detail();
  }
}

}  // namespace
}  // namespace telvora
