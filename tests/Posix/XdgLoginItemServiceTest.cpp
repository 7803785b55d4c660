#include "Posix/XdgLoginItemService.h"

#include <gtest/gtest.h>

#include "Posix/PosixFileSystem.h"
#include "Support/TempDir.h"

namespace zelvorn {
namespace {

TEST(XdgLoginItemService, EntryPresentMeansEnabled) {
  TempDir dir;
  PosixFileSystem fs;
  XdgLoginItemService service(fs, dir / "config/autostart", "/usr/bin/zelvorn");
  EXPECT_EQ(service.status().status, LoginItemStatus::notRegistered);
  EXPECT_EQ(service.unregisterMainApp(), std::nullopt) << "nothing to remove is not a failure";

  EXPECT_EQ(service.registerMainApp(), std::nullopt);
  auto reading = service.status();
  EXPECT_EQ(reading.status, LoginItemStatus::enabled);
  EXPECT_EQ(reading.rawStatus, XdgLoginItemService::kRawEnabled);
  auto entry = fs.readFile(dir / "config/autostart/zelvorn.desktop");
  ASSERT_TRUE(entry);
  std::string text(entry.value().begin(), entry.value().end());
  EXPECT_NE(text.find("Exec=\"/usr/bin/zelvorn\"\n"), std::string::npos) << text;

  EXPECT_EQ(service.unregisterMainApp(), std::nullopt);
  EXPECT_EQ(service.status().status, LoginItemStatus::notRegistered);
}

TEST(XdgLoginItemService, ExecPathIsQuotedAndEscaped) {
  auto entry = XdgLoginItemService::desktopEntry("/opt/My $App/50%\\\"x`/zelvorn");
  ASSERT_TRUE(entry);
  EXPECT_NE(entry->find("Exec=\"/opt/My \\\\$App/50%%\\\\\\\\\\\\\"x\\\\`/zelvorn\"\n"),
            std::string::npos)
      << *entry;
  EXPECT_EQ(XdgLoginItemService::desktopEntry("/bad\npath"), std::nullopt);
}

TEST(XdgLoginItemService, RegisterFailureIsReturned) {
  TempDir dir;
  PosixFileSystem fs;
  ASSERT_TRUE(fs.writeFileAtomically(dir / "config", "not a folder"));
  XdgLoginItemService service(fs, dir / "config/autostart", "/usr/bin/zelvorn");
  EXPECT_TRUE(service.registerMainApp().has_value());
  EXPECT_EQ(service.status().status, LoginItemStatus::notRegistered);
}

}  // namespace
}  // namespace zelvorn
