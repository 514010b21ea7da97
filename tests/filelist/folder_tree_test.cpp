#include "filelist/folder_tree.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

#include "filelist/add_candidates.h"
#include "support/temp_dir.h"

namespace velmora {
namespace {

namespace fs = std::filesystem;
using Paths = std::vector<std::string>;

void Touch(const test::TempDir& dir, const std::string& name) { dir.Write(name, {0}); }

void Link(const test::TempDir& dir, const std::string& target, const std::string& name) {
  fs::create_symlink(target, dir.File(name));
}

Paths Collect(const std::string& folder) {
  Paths found;
  CollectFolderTree(folder, found);
  return found;
}

// A cancelled run's search ends instead of walking the rest of the tree.
TEST(FolderTreeTest, AStopEndsTheSearch) {
  test::TempDir dir;
  Touch(dir, "music/a.aif");
  Touch(dir, "music/sub/b.aif");
  std::atomic<bool> stop{true};
  Paths found;
  CollectFolderTree(dir.File("music"), found, nullptr, &stop);
  EXPECT_EQ(found, Paths{});
  EXPECT_EQ(CollectDropCandidates({dir.File("music")}, &stop), Paths{});
  stop = false;
  EXPECT_EQ(CollectDropCandidates({dir.File("music")}, &stop).size(), 2u);
}

TEST(FolderTreeTest, AiffExtensionsByName) {
  for (const char* name : {"a.aiff", "a.AIF", "/x/a.Aifc", "b.afc", "c.d.aiff"}) {
    EXPECT_TRUE(HasAiffExtension(name)) << name;
  }
  for (const char* name : {"a.aifx", "a.wav", "aiff", ".aiff", "/x.aiff/a", "a.aiff.bak", "a.af"}) {
    EXPECT_FALSE(HasAiffExtension(name)) << name;
  }
}

TEST(FolderTreeTest, GroupsWithinAFolderThenSubfoldersInPreOrder) {
  test::TempDir dir;
  const std::string root = dir.File("music");
  for (const char* name : {"music/e.wav", "music/d.afc", "music/c.aifc", "music/b.aif", "music/A.AIFF",
                           "music/f.AFCX", "music/g.aifx", "music/.aiff", "music/.h.aif", "music/noext",
                           "music/x.af", "music/sub.aif/inner.aif", "music/sub.aif/deep/z.aiff",
                           "music/sub2/y.afc", "elsewhere/t.aif"}) {
    Touch(dir, name);
  }
  Link(dir, "../elsewhere/t.aif", "music/0_link");
  const Paths expected = {
      root + "/.h.aif",   root + "/A.AIFF", root + "/b.aif", root + "/c.aifc",
      root + "/g.aifx",   root + "/d.afc",  root + "/f.AFCX", dir.File("elsewhere/t.aif"),
      root + "/sub.aif/inner.aif", root + "/sub.aif/deep/z.aiff", root + "/sub2/y.afc",
  };
  EXPECT_EQ(Collect(root), expected);
  // A trailing separator on the folder does not double it in the paths.
  EXPECT_EQ(Collect(root + "/"), expected);
}

TEST(FolderTreeTest, LinksAreFollowedToAiffFilesOnly) {
  test::TempDir dir;
  const std::string root = dir.File("tree");
  Touch(dir, "target/song.aif");
  Touch(dir, "target/data.bin");
  Touch(dir, "target/inside/hidden.aiff");
  fs::create_directories(dir.File("tree"));
  Link(dir, dir.File("target/song.aif"), "tree/absolute");
  Link(dir, "a_chain1", "tree/a_chain0");  // two hops to the same file
  Link(dir, "../target/song.aif", "tree/a_chain1");
  Link(dir, "../target/data.bin", "tree/named.aiff");  // the target's name counts, not the link's
  Link(dir, "../target/inside", "tree/folder_link");   // never entered
  Link(dir, "../target/missing.aif", "tree/dangling.aif");
  Link(dir, "loop_b", "tree/loop_a");
  Link(dir, "loop_a", "tree/loop_b");
  const std::string song = dir.File("target/song.aif");
  EXPECT_EQ(Collect(root), (Paths{song, song, song}));
}

TEST(FolderTreeTest, LinkChainsAreBounded) {
  test::TempDir dir;
  Touch(dir, "song.aif");
  fs::create_directories(dir.File("short"));
  fs::create_directories(dir.File("long"));
  // short/l0 -> ... -> short/l7 -> song.aif: eight links; long/ adds a ninth.
  for (const char* folder : {"short", "long"}) {
    const int links = std::string(folder) == "short" ? 8 : 9;
    for (int i = 0; i < links; ++i) {
      const std::string next = i + 1 < links ? "l" + std::to_string(i + 1) : "../song.aif";
      Link(dir, next, std::string(folder) + "/l" + std::to_string(i));
    }
  }
  // Every link of the short chain is a start of at most eight hops; in the long one, l0 is not.
  Paths fromShort = Collect(dir.File("short"));
  EXPECT_EQ(fromShort, Paths(8, dir.File("song.aif")));
  EXPECT_EQ(Collect(dir.File("long")), Paths(8, dir.File("song.aif")));
}

TEST(FolderTreeTest, MissingFolderAddsNothingAndKeepsEarlierCandidates) {
  test::TempDir dir;
  Paths found = {"/earlier.aif"};
  CollectFolderTree(dir.File("nope"), found);
  Touch(dir, "x.aif");
  CollectFolderTree(dir.File("x.aif"), found);  // a file, not a folder
  EXPECT_EQ(found, Paths{"/earlier.aif"});
}

TEST(FolderTreeTest, UnreadableSubfolderIsSkipped) {
  if (::geteuid() == 0) GTEST_SKIP() << "permissions do not bind root";
  test::TempDir dir;
  Touch(dir, "a/closed/x.aif");
  Touch(dir, "a/open/y.aif");
  ASSERT_EQ(::chmod(dir.File("a/closed").c_str(), 0), 0);
  EXPECT_EQ(Collect(dir.File("a")), Paths{dir.File("a/open/y.aif")});
}

}  // namespace
}  // namespace velmora
