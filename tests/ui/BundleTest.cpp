#include <telvora/platform/Bundle.hpp>
#include <telvora/platform/Nib.hpp>

#include "support/TempDir.hpp"

#include <gtest/gtest.h>

#include <string>

namespace telvora {
namespace {

TEST(BundleTest, ReadsPlainFileNamesOnlyAndWithinTheLimit) {
  test::TempDir dir;
  dir.write("a.json", "hello");
  const auto folder = Bundle::atPath(dir.path());
  const auto memory = Bundle::withFiles({{"a.json", "hello"}});
  for (const auto& bundle : {folder, memory}) {
    EXPECT_EQ(bundle->contents("a.json", 5).value(), "hello");
    EXPECT_EQ(bundle->contents("a.json", 4).error(), Bundle::Error::tooLarge);
    EXPECT_EQ(bundle->contents("b.json", 100).error(), Bundle::Error::notFound);
    for (const char* name : {"", ".", "..", "../a.json", "sub/a.json"}) {
      EXPECT_EQ(bundle->contents(name, 100).error(), Bundle::Error::notFound) << name;
    }
  }
  EXPECT_EQ(Nib::instantiate(*folder, "missing", {}).error(), Nib::Error::notFound);
  dir.write("big.json", std::string(Nib::kMaxFileSize + 1, ' '));
  EXPECT_EQ(Nib::instantiate(*folder, "big", {}).error(), Nib::Error::tooLarge);
}

TEST(BundleTest, TheLibraryBundleDefaultsToTheCompiledInFiles) {
  EXPECT_EQ(Bundle::library(), Bundle::compiledIn());
  for (const char* name : {"SkipView.json", "TLCloseView.json", "TLPreAdnotificationView.json"}) {
    auto text = Bundle::compiledIn()->contents(name, Nib::kMaxFileSize);
    ASSERT_TRUE(text.ok()) << name;
    EXPECT_NE(text.value().find("\"objects\""), std::string::npos);
  }

  const auto own = Bundle::withFiles({});
  Bundle::setLibrary(own);
  EXPECT_EQ(Bundle::library(), own);
  Bundle::setLibrary(nullptr);
  EXPECT_EQ(Bundle::library(), Bundle::compiledIn());
}

}  // namespace
}  // namespace telvora
