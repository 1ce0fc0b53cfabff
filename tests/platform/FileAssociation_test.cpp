#include "platform/FileAssociation.h"

#include <gtest/gtest.h>

#include <string>

#include "config/Workspace.h"
#include "support/EnvScope.h"
#include "support/FileDamage.h"
#include "support/TempDir.h"

namespace quenterra {
namespace {

using test::TEnvScope;

const TFileType kType{"QWS", "Quenterra.Workspace", "Quenterra Workspace",
                      "application/x-quenterra-workspace", "Quenterra"};

TEST(FileAssociationTest, DataHomeFollowsTheBaseDirectoryRules) {
  TEnvScope home("HOME", "/home/user");
  {
    TEnvScope data("XDG_DATA_HOME", "/xdg/data");
    EXPECT_EQ(DataHomeDirectory(), "/xdg/data/");
  }
  {
    TEnvScope data("XDG_DATA_HOME", "relative/data");  // ignored, as the rules say
    EXPECT_EQ(DataHomeDirectory(), "/home/user/.local/share/");
  }
  TEnvScope data("XDG_DATA_HOME", nullptr);
  EXPECT_EQ(DataHomeDirectory(), "/home/user/.local/share/");
}

TEST(FileAssociationTest, TheMimeTypeAndTheDesktopEntry) {
  EXPECT_EQ(MimePackageText(kType),
            "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
            "<mime-info xmlns=\"http://www.freedesktop.org/standards/shared-mime-info\">\n"
            "  <mime-type type=\"application/x-quenterra-workspace\">\n"
            "    <comment>Quenterra Workspace</comment>\n"
            "    <glob pattern=\"*.qws\"/>\n"
            "  </mime-type>\n"
            "</mime-info>\n");
  std::string entry = DesktopEntryText(kType, "/opt/q/quenterra");
  EXPECT_NE(entry.find("\nExec=\"/opt/q/quenterra\" %f\n"), std::string::npos) << entry;
  EXPECT_NE(entry.find("\nMimeType=application/x-quenterra-workspace;\n"), std::string::npos);
  EXPECT_TRUE(entry.starts_with("[Desktop Entry]\nType=Application\nName=Quenterra\n"));
  // Quoting: ", `, $ and \ escaped inside the quotes, % doubled, then every backslash of the
  // value escaped once more by the file's own string rules.
  EXPECT_NE(DesktopEntryText(kType, "/my dir/a\"b`c$d\\e%f/q")
                .find("\nExec=\"/my dir/a\\\\\"b\\\\`c\\\\$d\\\\\\\\e%%f/q\" %f\n"),
            std::string::npos)
      << DesktopEntryText(kType, "/my dir/a\"b`c$d\\e%f/q");
}

TEST(FileAssociationTest, RegisteringWritesBothFilesAndRepairsThem) {
  test::TTempDir home;
  std::string dataHome = home.Path().string() + "/share/";
  TEnvScope data("XDG_DATA_HOME", dataHome.c_str());
  RegisterWorkspaceAssociation("/opt/q/quenterra");
  std::string mime = dataHome + "mime/packages/Quenterra.Workspace.xml";
  std::string desktop = dataHome + "applications/Quenterra.Workspace.desktop";
  EXPECT_EQ(test::ReadFileBytes(mime), MimePackageText(kType));
  EXPECT_EQ(test::ReadFileBytes(desktop), DesktopEntryText(kType, "/opt/q/quenterra"));

  // The program moved: the entry follows it. A damaged file is written again.
  test::WriteFileBytes(mime, "garbage");
  RegisterWorkspaceAssociation("/usr/bin/quenterra");
  EXPECT_EQ(test::ReadFileBytes(mime), MimePackageText(kType));
  EXPECT_EQ(test::ReadFileBytes(desktop), DesktopEntryText(kType, "/usr/bin/quenterra"));
}

TEST(FileAssociationTest, ErrorsAreIgnored) {
  test::TTempDir home;
  std::string blocker = home.Write("file", "not a directory");
  EXPECT_FALSE(RegisterFileType(kType, "/opt/q/quenterra", blocker + "/"));
  RegisterWorkspaceAssociation("/opt/q/quenterra", blocker + "/");  // nothing thrown
  TEnvScope data("XDG_DATA_HOME", nullptr);
  TEnvScope noHome("HOME", nullptr);
  EXPECT_FALSE(RegisterFileType(kType, "/opt/q/quenterra"));
}

}  // namespace
}  // namespace quenterra
