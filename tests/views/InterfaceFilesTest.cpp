#include "views/SkipView.hpp"
#include "views/TLCloseView.hpp"
#include "views/TLPreAdnotificationView.hpp"

#include "OverlayTest.hpp"
#include "support/TempDir.hpp"

#include <string>

namespace telvora {
namespace {

using InterfaceFilesTest = test::OverlayTest;

// A minimal skip view file with `text` as its label's text.
std::string skipFile(const std::string& text, const std::string& before = "") {
  return R"({"objects": [)" + before + R"({"class": "SkipView", "id": "s",
    "outlets": {"textLabel": "t", "contentView": "c", "timerLabel": "tl", "timerView": "tv"},
    "children": [{"class": "View", "id": "c", "children": [{"class": "Label", "id": "t", "text": ")" +
         text + R"("}]},
                 {"class": "View", "id": "tv", "children": [{"class": "Label", "id": "tl"}]}]}]})";
}

TEST_F(InterfaceFilesTest, TheCompiledInFilesGiveEachViewWithItsPartsAndRoundedCorners) {
  const auto skip = SkipView::loadViewFromNib();
  ASSERT_TRUE(skip);
  ASSERT_TRUE(skip->textLabel.lock() && skip->timerLabel.lock() && skip->timerView.lock());
  EXPECT_EQ(skip->contentView.lock()->layer.cornerRadius, 5);
  EXPECT_EQ(skip->textLabel.lock()->text, "Skip ad");
  EXPECT_FALSE(skip->contentView.lock()->hidden);  // both areas shown until a mode is applied
  EXPECT_FALSE(skip->timerView.lock()->hidden);
  EXPECT_TRUE(buttonIn(*skip));

  const auto notice = TLPreAdnotificationView::loadViewFromNib();
  ASSERT_TRUE(notice);
  ASSERT_TRUE(notice->countdownTimer.lock() && notice->textLabel.lock());
  EXPECT_EQ(notice->contentView.lock()->layer.cornerRadius, 5);

  const auto close = TLCloseView::loadViewFromNib();
  ASSERT_TRUE(close);
  ASSERT_TRUE(close->closeButton.lock());
  EXPECT_EQ(close->contentView.lock()->layer.cornerRadius, 5);
  EXPECT_EQ(close->frame, (Rect{0, 0, 25, 25}));
}

TEST_F(InterfaceFilesTest, AFolderReplacesTheCompiledInFiles) {
  test::TempDir dir;
  dir.write("SkipView.json", skipFile("Passer"));
  Bundle::setLibrary(Bundle::atPath(dir.path()));

  const auto skip = SkipView::loadViewFromNib();
  ASSERT_TRUE(skip);
  EXPECT_EQ(skip->textLabel.lock()->text, "Passer");
  EXPECT_FALSE(TLCloseView::loadViewFromNib());  // not in the folder

  Bundle::setLibrary(nullptr);
  EXPECT_EQ(SkipView::loadViewFromNib()->textLabel.lock()->text, "Skip ad");
}

TEST_F(InterfaceFilesTest, AFileThatDoesNotYieldAWholeViewOfTheClassGivesNothing) {
  const struct {
    const char* name;
    std::string file;
  } cases[] = {
      {"first object of another class", skipFile("Skip", R"({"class": "View"}, )")},
      {"a class the file may not hold", R"({"objects": [{"class": "TLCloseView"}]})"},
      {"a required part missing",
       R"({"objects": [{"class": "SkipView", "id": "s", "outlets": {"textLabel": "t"},
           "children": [{"class": "Label", "id": "t"}]}]})"},
      {"truncated", skipFile("Skip").substr(0, 80)},
      {"empty", ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Bundle::setLibrary(Bundle::withFiles({{"SkipView.json", c.file}}));
    EXPECT_FALSE(SkipView::loadViewFromNib());
  }
}

TEST_F(InterfaceFilesTest, TheCloseButtonRunsItsCallbackOnEveryTap) {
  const auto close = TLCloseView::loadViewFromNib();
  ASSERT_TRUE(close);
  tap(*close);  // no callback yet: nothing

  int closes = 0;
  close->closeComplition = [&] { ++closes; };
  tap(*close);
  tap(*close);
  EXPECT_EQ(closes, 2);
}

}  // namespace
}  // namespace telvora
