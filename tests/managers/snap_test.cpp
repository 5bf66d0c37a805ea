// What snap says is pending.
#include "snap.hpp"

#include <gtest/gtest.h>

#include "captures.hpp"

namespace sorvane::gui {
namespace {

using test::capture;
using Updates = std::vector<PendingUpdate>;
using Names = std::vector<std::string>;

TEST(SnapRefreshList, ReadsTheTable) {
  // Without snapd the message goes to stderr and stdout stays empty.
  EXPECT_TRUE(parse_snap_refresh_list("").empty());
  EXPECT_TRUE(parse_snap_refresh_list(capture("snap-refresh-list-no-snapd.stderr")).empty());
  const std::pair<std::string, Updates> cases[] = {
      {"All snaps up to date.\n", {}},
      {"Name    Version   Rev    Size   Publisher     Notes\n"
       "core22  20240111  1122   77MB   canonical\xE2\x9C\x93    base\n"
       "firefox 124.0-2   4090   268MB  mozilla**     -\n",
       {{"core22", "", "20240111", false}, {"firefox", "", "124.0-2", false}}},
      {"Name Version Rev Size Publisher Notes\r\nlxd 5.21.1-2d13beb 28460 91MB "
       "canonical\xE2\x9C\x93 -\r\n",
       {{"lxd", "", "5.21.1-2d13beb", false}}},
      {"core22 20240111 1122 77MB canonical base\n", {}},  // no title row: not the table
      {"error: x\ncore22 20240111 1122 77MB canonical base\n", {}},
      {"Name Version Rev Size Publisher Notes\nshort 1 2 3\n", {}},
      {"Name Version Rev Size Publisher Notes\nlong 1 2 3 4 5 6\n", {}},
  };
  for (const auto& [out, want] : cases) EXPECT_EQ(parse_snap_refresh_list(out), want) << out;
}

}  // namespace
}  // namespace sorvane::gui
