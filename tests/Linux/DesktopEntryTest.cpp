// Desktop entries as installed applications: parsing, the Exec line's quoting and field codes
// (which decide what runs, so malformed lines must be refused, not guessed), the folder order that
// decides which entry an id names, matching running clients to entries, and icon rendering.
#include "Linux/DesktopEntry.h"

#include <gtest/gtest.h>

#include <gdk-pixbuf/gdk-pixbuf.h>

#include <array>
#include <filesystem>
#include <fstream>

#include "Linux/DesktopEntryIndex.h"
#include "Linux/PngIcon.h"
#include "Support/TempDir.h"

namespace zelvorn {
namespace {

using Args = std::vector<std::string>;

DesktopEntry entryWithExec(std::string exec) {
  DesktopEntry e;
  e.name = "Editor";
  e.path = "/apps/editor.desktop";
  e.icon = "editor";
  e.exec = std::move(exec);
  return e;
}

TEST(DesktopEntry, ParsesTheDesktopEntryGroupOnly) {
  auto e = DesktopEntry::parse(
      "# comment\n[Desktop Entry]\nType=Application\nName=XTerm\nName[de]=Terminal\n"
      "Exec=xterm -T a\\sb\nIcon=mini.xterm\nStartupWMClass=XTerm\nNoDisplay=true\n"
      "[Desktop Action new]\nName=Other\nExec=other\n",
      "debian-xterm.desktop", "/usr/share/applications/debian-xterm.desktop");
  ASSERT_TRUE(e);
  EXPECT_EQ(e->name, "XTerm");
  EXPECT_EQ(e->exec, "xterm -T a b");
  EXPECT_EQ(e->startupWMClass, "XTerm");
  EXPECT_TRUE(e->noDisplay);
  EXPECT_EQ(e->executableName(), "xterm");
  EXPECT_FALSE(DesktopEntry::parse("[Desktop Entry]\nExec=x\n", "a.desktop", "/a.desktop"));
  EXPECT_FALSE(DesktopEntry::parse("Name=x\n", "a.desktop", "/a.desktop"));
}

TEST(DesktopEntry, ExpandsFieldCodesWithoutAShell) {
  struct Case {
    std::string exec;
    Args documents;
    std::optional<Args> expected;
  };
  const Case cases[] = {
      {"editor %f", {}, Args{"editor"}},
      {"editor %f", {"/a b.txt", "/c.txt"}, Args{"editor", "/a b.txt"}},
      {"editor %F", {"file:///a%20b.txt", "/c.txt"}, Args{"editor", "/a b.txt", "/c.txt"}},
      {"editor %U",
       {"file:///a%20b.txt", "https://x/y"},
       Args{"editor", "file:///a%20b.txt", "https://x/y"}},
      {"editor --open=%u", {"https://x/y"}, Args{"editor", "--open=https://x/y"}},
      {"\"/opt/my editor/run\" --name %c %i 100%%",
       {},
       Args{"/opt/my editor/run", "--name", "Editor", "--icon", "editor", "100%"}},
      {"editor \"say \\\"hi\\\" \\$HOME\"", {}, Args{"editor", "say \"hi\" $HOME"}},
      {"env LANG=C editor %k", {}, Args{"env", "LANG=C", "editor", "/apps/editor.desktop"}},
      // A document that looks like shell syntax is just an argument.
      {"editor %f", {"/tmp/x; rm -rf ~"}, Args{"editor", "/tmp/x; rm -rf ~"}},
      // Lines written for a shell, or broken, are refused.
      {"editor $HOME", {}, std::nullopt},
      {"sh -c 'a | b'", {}, std::nullopt},
      {"editor \"unclosed", {}, std::nullopt},
      {"", {}, std::nullopt},
      {"%f", {}, std::nullopt},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.exec);
    EXPECT_EQ(entryWithExec(c.exec).commandLine(c.documents), c.expected);
  }
  EXPECT_EQ(entryWithExec("env A=1 B=2 /usr/bin/editor %F").executableName(), "editor");
}

TEST(DesktopEntry, ALineTakingOneDocumentRunsOncePerDocument) {
  using Lines = std::vector<Args>;
  EXPECT_EQ(entryWithExec("editor %f").commandLines({"/a", "/b"}),
            (Lines{{"editor", "/a"}, {"editor", "/b"}}));
  EXPECT_EQ(entryWithExec("editor --open=%u").commandLines({"x:1", "x:2"}),
            (Lines{{"editor", "--open=x:1"}, {"editor", "--open=x:2"}}));
  EXPECT_EQ(entryWithExec("editor %F").commandLines({"/a", "/b"}), (Lines{{"editor", "/a", "/b"}}));
  EXPECT_EQ(entryWithExec("editor 100%%f").commandLines({"/a", "/b"}),
            (Lines{{"editor", "100%f"}}));
  EXPECT_EQ(entryWithExec("editor %f").commandLines({}), (Lines{{"editor"}}));
  EXPECT_FALSE(entryWithExec("editor $X %f").commandLines({"/a", "/b"}));
}

TEST(DesktopEntry, NamesAreLocalizedForTheMessagesLocale) {
  const std::string text =
      "[Desktop Entry]\nType=Application\nName=Files\nName[de]=Dateien\n"
      "Name[de_CH]=Dateie\nName[sr@latin]=Datoteke\nGenericName=File Manager\n"
      "GenericName[de]=Dateiverwaltung\nExec=files\n";
  struct Case {
    std::string locale;
    std::string name;
    std::optional<std::string> genericName;
  };
  const Case cases[] = {
      {"", "Files", "File Manager"},
      {"C.UTF-8", "Files", "File Manager"},
      {"de_DE.UTF-8", "Dateien", "Dateiverwaltung"},
      {"de_CH.UTF-8", "Dateie", "Dateiverwaltung"},
      {"sr_RS.UTF-8@latin", "Datoteke", "File Manager"},
      {"fr_FR.UTF-8", "Files", "File Manager"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.locale);
    auto e = DesktopEntry::parse(text, "files.desktop", "/files.desktop", c.locale);
    ASSERT_TRUE(e);
    EXPECT_EQ(e->name, c.name);
    EXPECT_EQ(e->genericName, c.genericName);
  }
  EXPECT_EQ(localeKeys("sr_RS.UTF-8@latin"), (Args{"sr_RS@latin", "sr_RS", "sr@latin", "sr"}));
  // Only a localized value: the entry still needs its plain Name.
  EXPECT_FALSE(DesktopEntry::parse("[Desktop Entry]\nName[de]=Dateien\nExec=x\n", "a.desktop",
                                   "/a.desktop", "de_DE"));
}

void writeFile(const std::string& path, const std::string& text) {
  std::filesystem::create_directories(std::filesystem::path(path).parent_path());
  std::ofstream(path) << text;
}

TEST(DesktopEntryIndex, EarlierFoldersWinAndClientsMatchTheirEntry) {
  TempDir home, system;
  auto entry = [](const std::string& name, const std::string& extra) {
    return "[Desktop Entry]\nType=Application\nName=" + name + "\n" + extra;
  };
  writeFile(home / "applications/org.example.Editor.desktop", entry("My Editor", "Exec=ed2\n"));
  writeFile(system / "applications/org.example.Editor.desktop", entry("Editor", "Exec=ed\n"));
  writeFile(system / "applications/vendor/term.desktop",
            entry("Term", "Exec=/usr/bin/xterm -ls\nStartupWMClass=XTerm\n"));
  writeFile(system / "applications/uterm.desktop",
            entry("UTerm", "Exec=uxterm\nStartupWMClass=UXTerm\n"));
  writeFile(home / "applications/gone.desktop", entry("Gone", "Exec=gone\nHidden=true\n"));
  writeFile(system / "applications/gone.desktop", entry("Gone", "Exec=gone\n"));
  writeFile(system / "applications/clock.desktop", entry("Clock", "Exec=xclock -d\n"));
  DesktopEntryIndex index({home.path(), system.path()});

  EXPECT_EQ(index.byId("org.example.Editor.desktop")->name, "My Editor");
  EXPECT_EQ(index.byId("vendor-term.desktop")->name, "Term");
  EXPECT_FALSE(index.byId("gone.desktop"));  // hidden by the user's own folder
  EXPECT_EQ(index.idOfPath(system / "applications/vendor/term.desktop"), "vendor-term.desktop");
  EXPECT_FALSE(index.idOfPath("/elsewhere/term.desktop"));

  struct Case {
    std::string className, instanceName, executable;
    std::optional<std::string> id;
  };
  const Case cases[] = {
      {"XTerm", "xterm", "xterm", "vendor-term.desktop"},  // by StartupWMClass
      {"UXTerm", "xterm", "xterm", "uterm.desktop"},       // the class decides, not the program
      {"Editor", "editor", "ed-bin", "org.example.Editor.desktop"},  // by the id's last part
      {"XClock", "xclock", "xclock", "clock.desktop"},               // by the program Exec runs
      {"", "", "clock", std::nullopt},
      {"Gone", "gone", "gone", std::nullopt},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.className + "/" + c.executable);
    auto e = index.match(c.className, c.instanceName, c.executable);
    EXPECT_EQ(e ? std::optional(e->id) : std::nullopt, c.id);
  }
}

TEST(PngIcon, FindsThemeIconsAndRendersASquarePng) {
  TempDir data;
  std::filesystem::path source;
  for (const char* candidate :
       {"/usr/share/pixmaps/openbox.png", "/usr/share/pixmaps/debian-logo.png"})
    if (std::filesystem::exists(candidate)) source = candidate;
  if (source.empty()) GTEST_SKIP() << "no PNG on this machine to render";
  std::filesystem::create_directories(data / "icons/hicolor/48x48/apps");
  std::filesystem::copy_file(source, data / "icons/hicolor/48x48/apps/thing.png");
  EXPECT_EQ(PngIcon::find("thing", {"/nonexistent", data.path()}),
            data / "icons/hicolor/48x48/apps/thing.png");
  EXPECT_FALSE(PngIcon::find("../thing", {data.path()}));
  EXPECT_FALSE(PngIcon::find("missing", {data.path()}));

  auto png = PngIcon::render(source.string(), 128);
  ASSERT_TRUE(png);
  ASSERT_GT(png->size(), 24u);
  const std::uint8_t signature[] = {0x89, 'P', 'N', 'G'};
  EXPECT_TRUE(std::equal(signature, signature + 4, png->begin()));
  auto be32 = [&](std::size_t at) {
    return (*png)[at] << 24 | (*png)[at + 1] << 16 | (*png)[at + 2] << 8 | (*png)[at + 3];
  };
  EXPECT_EQ(be32(16), 128);  // IHDR width
  EXPECT_EQ(be32(20), 128);  // IHDR height
  // Something that is not a PNG is no icon.
  writeFile(data / "fake.png", "not a png");
  EXPECT_FALSE(PngIcon::render(data / "fake.png", 128));
}

// Many entries name icons that exist only as SVG (the scalable theme folder) or XPM (pixmaps).
TEST(PngIcon, FindsAndRendersScalableAndXpmIcons) {
  TempDir data;
  writeFile(data / "icons/hicolor/scalable/apps/dot.svg",
            "<svg xmlns='http://www.w3.org/2000/svg' width='10' height='20'>"
            "<rect width='10' height='20' fill='#ff0000'/></svg>");
  writeFile(data / "pixmaps/cross.xpm",
            "/* XPM */\nstatic char *cross[] = {\n\"4 4 2 1\",\n\". c None\",\n"
            "\"# c #0000FF\",\n\"#..#\",\n\".##.\",\n\".##.\",\n\"#..#\"};\n");
  auto svg = PngIcon::find("dot", {data.path()});
  auto xpm = PngIcon::find("cross.xpm", {data.path()});
  ASSERT_EQ(svg, data / "icons/hicolor/scalable/apps/dot.svg");
  ASSERT_EQ(xpm, data / "pixmaps/cross.xpm");

  // Decodes what render made and answers the RGBA of one pixel.
  auto pixel = [](const Bytes& png, int x, int y) {
    GdkPixbufLoader* loader = gdk_pixbuf_loader_new();
    gdk_pixbuf_loader_write(loader, png.data(), png.size(), nullptr);
    gdk_pixbuf_loader_close(loader, nullptr);
    GdkPixbuf* p = gdk_pixbuf_loader_get_pixbuf(loader);
    std::array<int, 4> rgba{-1, -1, -1, -1};
    if (p && gdk_pixbuf_get_width(p) == 128 && gdk_pixbuf_get_n_channels(p) == 4) {
      const guchar* at = gdk_pixbuf_get_pixels(p) + y * gdk_pixbuf_get_rowstride(p) + x * 4;
      rgba = {at[0], at[1], at[2], at[3]};
    }
    g_object_unref(loader);
    return rgba;
  };
  auto dot = PngIcon::render(*svg, 128);
  ASSERT_TRUE(dot);
  // Drawn 64 × 128 at 128 px, centred: red in the middle, clear at the sides.
  EXPECT_EQ(pixel(*dot, 64, 64), (std::array<int, 4>{255, 0, 0, 255}));
  EXPECT_EQ(pixel(*dot, 5, 64)[3], 0);
  auto cross = PngIcon::render(*xpm, 128);
  ASSERT_TRUE(cross);
  EXPECT_EQ(pixel(*cross, 10, 10), (std::array<int, 4>{0, 0, 255, 255}));
  EXPECT_EQ(pixel(*cross, 64, 10)[3], 0);  // "None" is transparent
}

}  // namespace
}  // namespace zelvorn
