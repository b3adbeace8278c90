// Output file names: the photo's own extension in its own letter case, names without an
// extension, and the separator inserted also at the root.
#include <gtest/gtest.h>

#include "core/file_names.h"

namespace snapfolio {
namespace {

struct NameCase {
  const char* photo;
  const char* prefix;
  const char* suffix;
  const char* output;
};

class OutputFileNameTest : public ::testing::TestWithParam<NameCase> {};

TEST_P(OutputFileNameTest, PrefixBaseSuffixExtension) {
  const NameCase& c = GetParam();
  EXPECT_EQ(outputFileName(c.photo, c.prefix, c.suffix, splitFileName(c.photo).extension),
            c.output);
}

INSTANTIATE_TEST_SUITE_P(Names, OutputFileNameTest,
                         ::testing::Values(NameCase{"/p/c.JPG", "s_", "", "s_c.JPG"},
                                           NameCase{"/p/IMG 1.jpeg", "", "_l", "IMG 1_l.jpeg"},
                                           NameCase{"/p/noext", "t_", "_x", "t_noext_x"},
                                           NameCase{"/p.d/noext", "t_", "", "t_noext"},
                                           NameCase{"/p/a.b.jpg", "", "-2", "a.b-2.jpg"},
                                           NameCase{"/p/.hidden", "t_", "", "t_.hidden"},
                                           NameCase{"relative.jpg", "x", "y", "xrelativey.jpg"}));

TEST(FileNames, SeparatorIsAlwaysInserted) {
  EXPECT_EQ(joinPath("/out", "a.jpg"), "/out/a.jpg");
  EXPECT_EQ(joinPath("/", "a.jpg"), "//a.jpg");
  EXPECT_EQ(joinPath("/out/", "a.jpg"), "/out//a.jpg");
}

TEST(FileNames, FileNamePartKeepsCharacters) {
  EXPECT_EQ(fileNamePart("/a/b/写真.jpg"), "写真.jpg");
}

}  // namespace
}  // namespace snapfolio
