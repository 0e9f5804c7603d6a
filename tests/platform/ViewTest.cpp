#include <telvora/platform/View.hpp>

#include <gtest/gtest.h>

namespace telvora {
namespace {

TEST(View, ChildrenMoveBetweenParentsAndNeverFormACycle) {
  auto root = std::make_shared<View>(Rect{0, 0, 640, 360});
  auto a = std::make_shared<View>();
  auto b = std::make_shared<View>();
  root->addSubview(a);
  root->addSubview(b);
  EXPECT_EQ(root->subviews(), (std::vector<std::shared_ptr<View>>{a, b}));
  EXPECT_EQ(a->superview(), root);

  root->addSubview(a);  // again: moves to the top
  EXPECT_EQ(root->subviews(), (std::vector<std::shared_ptr<View>>{b, a}));

  b->addSubview(a);  // to another parent: leaves the first
  EXPECT_EQ(root->subviews(), (std::vector<std::shared_ptr<View>>{b}));
  EXPECT_EQ(a->superview(), b);

  a->addSubview(root);  // root is an ancestor of a: refused
  a->addSubview(a);
  EXPECT_TRUE(a->subviews().empty());
  EXPECT_FALSE(root->superview());

  a->removeFromSuperview();
  EXPECT_TRUE(b->subviews().empty());
  EXPECT_FALSE(a->superview());
  a->removeFromSuperview();  // without a parent: nothing
}

}  // namespace
}  // namespace telvora
