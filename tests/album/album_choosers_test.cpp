// The engine side of the page-file and template choosers.
#include "album/album_choosers.h"

#include <gtest/gtest.h>

namespace snapfolio {
namespace {

TEST(PageFileChooser, KeepsOnlyTheFileName) {
  EXPECT_EQ(pageFileNameFromChoice("/x/album.html"), "album.html");
  EXPECT_EQ(pageFileNameFromChoice("/home/u/Web Pages/夏 2024.htm"), "夏 2024.htm");
  EXPECT_EQ(pageFileNameFromChoice("album.html"), "album.html");
  EXPECT_EQ(pageFileNameFromChoice("//index"), "index");
}

TEST(TemplateChooser, EmptyFieldStartsAtTheStartUpDirectory) {
  EXPECT_EQ(templateFieldBeforeChoosing("", "/home/u"), "/home/u/");
  EXPECT_EQ(templateFieldBeforeChoosing("", "/"), "//");  // the separator is always added
  EXPECT_EQ(templateFieldBeforeChoosing("/t/album.dat", "/home/u"), "/t/album.dat");
}

TEST(TemplateChooser, StartsInTheDirectoryOfTheField) {
  EXPECT_EQ(templateChooserDirectory("/home/u/tmpl/album.dat"), "/home/u/tmpl/");
  EXPECT_EQ(templateChooserDirectory("/home/u/"), "/home/u/");
  EXPECT_EQ(templateChooserDirectory("album.dat"), "");
  // A field left by a cancelled chooser keeps the start-up directory.
  EXPECT_EQ(templateChooserDirectory(templateFieldBeforeChoosing("", "/work")), "/work/");
}

}  // namespace
}  // namespace snapfolio
