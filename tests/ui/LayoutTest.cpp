#include <telvora/platform/View.hpp>

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <vector>

namespace telvora {
namespace {

// A 640 by 360 parent with 8-point margins: its guide spans x 8...632, y 8...352.
struct Fixture {
  std::shared_ptr<View> parent = std::make_shared<View>(Rect{0, 0, 640, 360});
  std::shared_ptr<View> child = std::make_shared<View>(Rect{1, 2, 30, 40});
  Fixture() {
    parent->addSubview(child);
    child->translatesAutoresizingMaskIntoConstraints = false;
  }
};

TEST(LayoutTest, SolvesEachAxisFromTheFirstConstraintOfEachKind) {
  using Make = std::function<std::vector<LayoutConstraint>(View & child, const LayoutGuide& guide)>;
  const struct {
    const char* name;
    Make make;
    Rect expected;
  } cases[] = {
      {"leading edges and sizes",
       [](View& c, const LayoutGuide& g) {
         return std::vector{c.leftAnchor().constraintEqualTo(g.leftAnchor(), 0),
                            c.topAnchor().constraintEqualTo(g.topAnchor(), 10),
                            c.widthAnchor().constraintEqualToConstant(25),
                            c.heightAnchor().constraintEqualToConstant(25)};
       },
       {8, 18, 25, 25}},
      {"trailing edges and sizes",
       [](View& c, const LayoutGuide& g) {
         return std::vector{c.bottomAnchor().constraintEqualTo(g.bottomAnchor(), 10),
                            c.rightAnchor().constraintEqualTo(g.rightAnchor(), -4),
                            c.widthAnchor().constraintEqualToConstant(100),
                            c.heightAnchor().constraintEqualToConstant(24)};
       },
       {528, 338, 100, 24}},
      {"both edges give the size",
       [](View& c, const LayoutGuide& g) {
         return std::vector{c.leftAnchor().constraintEqualTo(g.leftAnchor(), 0),
                            c.rightAnchor().constraintEqualTo(g.rightAnchor(), 0),
                            c.topAnchor().constraintEqualTo(g.topAnchor(), 0),
                            c.bottomAnchor().constraintEqualTo(g.bottomAnchor(), 0)};
       },
       {8, 8, 624, 344}},
      {"all three: the trailing edge gives way; a repeated kind is ignored",
       [](View& c, const LayoutGuide& g) {
         return std::vector{c.leftAnchor().constraintEqualTo(g.leftAnchor(), 2),
                            c.widthAnchor().constraintEqualToConstant(50),
                            c.widthAnchor().constraintEqualToConstant(70),
                            c.rightAnchor().constraintEqualTo(g.rightAnchor(), 0)};
       },
       {10, 2, 50, 40}},
      {"one constraint keeps the rest of the frame",
       [](View& c, const LayoutGuide& g) {
         return std::vector{c.rightAnchor().constraintEqualTo(g.rightAnchor(), 0)};
       },
       {602, 2, 30, 40}},
      {"to the parent's own edges",
       [](View& c, const LayoutGuide&) {
         const auto parent = c.superview();
         return std::vector{c.rightAnchor().constraintEqualTo(parent->rightAnchor(), 0),
                            c.bottomAnchor().constraintEqualTo(parent->bottomAnchor(), 0)};
       },
       {610, 320, 30, 40}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Fixture f;
    LayoutConstraint::activate(c.make(*f.child, f.parent->layoutMarginsGuide()));
    f.parent->layoutIfNeeded();
    EXPECT_EQ(f.child->frame, c.expected);
  }
}

TEST(LayoutTest, ResolvesAcrossNestedViewsAndSiblingsPlacedLater) {
  auto root = std::make_shared<View>(Rect{0, 0, 640, 360});
  auto box = std::make_shared<View>(Rect{100, 50, 200, 100});
  auto inner = std::make_shared<View>();
  auto follower = std::make_shared<View>();
  auto leader = std::make_shared<View>();
  root->addSubview(box);
  box->addSubview(inner);
  root->addSubview(follower);
  root->addSubview(leader);
  for (const auto& v : {inner, follower, leader})
    v->translatesAutoresizingMaskIntoConstraints = false;

  // `inner` sits in `box` but is tied to the root's guide: its frame comes
  // out in box's coordinates.
  LayoutConstraint::activate(
      {inner->leftAnchor().constraintEqualTo(root->layoutMarginsGuide().leftAnchor(), 0),
       inner->topAnchor().constraintEqualTo(root->layoutMarginsGuide().topAnchor(), 0),
       inner->widthAnchor().constraintEqualToConstant(10),
       inner->heightAnchor().constraintEqualToConstant(10)});
  // `follower` is visited before `leader`, which it hangs below.
  LayoutConstraint::activate({follower->leftAnchor().constraintEqualTo(leader->leftAnchor(), 0),
                              follower->topAnchor().constraintEqualTo(leader->bottomAnchor(), 4),
                              follower->widthAnchor().constraintEqualToConstant(20),
                              follower->heightAnchor().constraintEqualToConstant(20),
                              leader->rightAnchor().constraintEqualTo(root->rightAnchor(), 0),
                              leader->topAnchor().constraintEqualTo(root->topAnchor(), 0),
                              leader->widthAnchor().constraintEqualToConstant(40),
                              leader->heightAnchor().constraintEqualToConstant(30)});
  root->layoutIfNeeded();

  EXPECT_EQ(inner->frame, (Rect{-92, -42, 10, 10}));
  EXPECT_EQ(leader->frame, (Rect{600, 0, 40, 30}));
  EXPECT_EQ(follower->frame, (Rect{600, 34, 20, 20}));
}

TEST(LayoutTest, LeavesAloneWhatItCannotOrMayNotPlace) {
  Fixture f;
  auto stranger = std::make_shared<View>(Rect{0, 0, 50, 50});  // another tree
  auto placedByFrame = std::make_shared<View>(Rect{5, 5, 5, 5});
  f.parent->addSubview(placedByFrame);
  LayoutConstraint::activate(
      {f.child->leftAnchor().constraintEqualTo(stranger->rightAnchor(), 0),
       placedByFrame->widthAnchor().constraintEqualToConstant(99),
       f.parent->layoutMarginsGuide().widthAnchor().constraintEqualToConstant(1)});
  {
    auto gone = std::make_shared<View>();
    f.parent->addSubview(gone);
    LayoutConstraint::activate({f.child->topAnchor().constraintEqualTo(gone->bottomAnchor(), 0)});
    gone->removeFromSuperview();
  }
  f.parent->layoutIfNeeded();
  EXPECT_EQ(f.child->frame, (Rect{1, 2, 30, 40}));
  EXPECT_EQ(placedByFrame->frame, (Rect{5, 5, 5, 5}));
  EXPECT_TRUE(f.parent->constraints().empty());  // a guide is never a first anchor
}

TEST(LayoutTest, LeavingTheParentDropsTheTiesToItButKeepsTheSizes) {
  Fixture f;
  LayoutConstraint::activate(
      {f.child->topAnchor().constraintEqualTo(f.parent->layoutMarginsGuide().topAnchor(), 0),
       f.child->heightAnchor().constraintEqualToConstant(12)});
  f.child->removeFromSuperview();
  ASSERT_EQ(f.child->constraints().size(), 1u);
  EXPECT_FALSE(f.child->constraints()[0].secondAnchor());

  auto other = std::make_shared<View>(Rect{0, 0, 100, 100});
  other->addSubview(f.child);
  other->layoutIfNeeded();
  EXPECT_EQ(f.child->frame, (Rect{1, 2, 30, 12}));
}

}  // namespace
}  // namespace telvora
