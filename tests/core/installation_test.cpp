#include "installation.hpp"

#include <gtest/gtest.h>

#include "test_support.hpp"

namespace sorvane::gui {
namespace {

using test::TempDir;

TEST(Installation, SorvaneAndItsDetectorAreFoundBesideTheWindow) {
  const Installation found = installation_beside("/usr/lib/sorvane/libexec/bin/sorvane-gui");
  EXPECT_EQ(found.sorvane, "/usr/lib/sorvane/libexec/bin/sorvane");
  EXPECT_EQ(found.detector,
            "/usr/lib/sorvane/libexec/bin/../../scripts/detect-package-managers.sh");
  const auto self = own_executable();
  ASSERT_TRUE(self.ok());
  EXPECT_TRUE(self.value().ends_with("/sorvane_tests")) << self.value();
}

TEST(Installation, OnlyRootOrTheUserMayOwnIt) {
  REQUIRE_ROOT();
  const TempDir dir("/run");
  test::make_dir(dir / "libexec");
  test::make_dir(dir / "libexec/bin");
  test::make_dir(dir / "scripts");
  test::write_file(dir / "libexec/bin/sorvane", "", 0755);
  test::write_file(dir / "scripts/detect-package-managers.sh", "", 0644);
  const Installation installation = installation_beside(dir / "libexec/bin/sorvane-gui");
  EXPECT_FALSE(untrusted_installation(installation, 1000).has_value());
  ASSERT_EQ(::chown((dir / "scripts/detect-package-managers.sh").c_str(), 1000, 1000), 0);
  EXPECT_FALSE(untrusted_installation(installation, 1000).has_value());  // the user's own
  const auto fault = untrusted_installation(installation, 1001);
  ASSERT_TRUE(fault.has_value());
  EXPECT_EQ(fault->path, dir / "scripts/detect-package-managers.sh");
  test::set_mode(dir / "libexec/bin", 0775);
  EXPECT_EQ(untrusted_installation(installation, 1000)->path, dir / "libexec/bin");
}

}  // namespace
}  // namespace sorvane::gui
