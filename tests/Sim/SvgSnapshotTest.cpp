#include "Sim/SvgSnapshot.h"

#include <gtest/gtest.h>

#include "Sim/SimDesktop.h"

namespace zelvorn {
namespace {

TEST(SvgSnapshot, DrawsScreensVisibleWindowsAndOutlines) {
  VirtualMainLoop loop;
  SimDesktop desktop(loop);
  SimAppSpec notes;
  notes.bundlePath = "/Applications/Notes.app";
  notes.bundleIdentifier = "com.example.notes";
  notes.name = "Notes & <Co>";
  desktop.install(notes);
  SimAppSpec hidden = notes;
  hidden.bundlePath = "/Applications/Hidden.app";
  hidden.bundleIdentifier = "com.example.hidden";
  hidden.name = "Secret";
  desktop.install(hidden);
  desktop.launch("com.example.notes");
  Pid secret = desktop.launch("com.example.hidden");
  desktop.runningApps().hide(secret);

  std::string svg = SvgSnapshot::render(desktop, {{{10, 40, 600, 400}, "Work"}});
  EXPECT_EQ(svg.rfind("<svg ", 0), 0u);
  EXPECT_NE(svg.find("Notes &amp; &lt;Co&gt;"), std::string::npos);
  EXPECT_EQ(svg.find("Secret"), std::string::npos) << "hidden apps show no windows";
  EXPECT_NE(svg.find(">Work</text>"), std::string::npos);
  EXPECT_NE(svg.find("width=\"800\" height=\"600\""), std::string::npos);
  EXPECT_EQ(svg.substr(svg.size() - 7), "</svg>\n");
}

}  // namespace
}  // namespace zelvorn
