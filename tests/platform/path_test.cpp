// The path rules of both platforms, applied as the command line applies them:
// "/g:" splits a normalised path at its directory part, "/p:" makes a directory.
#include "platform/path.h"

#include <gtest/gtest.h>

namespace {

struct GamePath {
  std::string directory;
  std::string name;
  bool operator==(const GamePath&) const = default;
};

GamePath SplitGame(const std::string& value, const PathRules& rules) {
  std::string path = NormalisePath(value, rules);
  std::string directory = DirectoryPart(path, rules);
  return {directory, path.substr(directory.size())};
}

std::ostream& operator<<(std::ostream& out, const GamePath& p) {
  return out << '"' << p.directory << "\" + \"" << p.name << '"';
}

}  // namespace

TEST(WindowsPaths, GameDirectoryEndsAtTheLastSeparatorOrDriveColon) {
  EXPECT_EQ(SplitGame("c:/data/game", kWindowsPaths), (GamePath{"c:\\data\\", "game"}));
  EXPECT_EQ(SplitGame("c:\\games\\my-game", kWindowsPaths), (GamePath{"c:\\games\\", "my-game"}));
  EXPECT_EQ(SplitGame("c:game", kWindowsPaths), (GamePath{"c:", "game"}));
  EXPECT_EQ(SplitGame("c:", kWindowsPaths), (GamePath{"c:", ""}));
  EXPECT_EQ(SplitGame("d:\\x:y/game", kWindowsPaths), (GamePath{"d:\\x:y\\", "game"}));
  EXPECT_EQ(SplitGame("d:\\x\\y:game", kWindowsPaths), (GamePath{"d:\\x\\y:", "game"}));
  EXPECT_EQ(SplitGame("game", kWindowsPaths), (GamePath{"", "game"}));
  EXPECT_EQ(SplitGame("\\\\server\\share\\game", kWindowsPaths),
            (GamePath{"\\\\server\\share\\", "game"}));
}

TEST(WindowsPaths, ReportDirectoryEndsInABackslash) {
  EXPECT_EQ(AsDirectory(NormalisePath("out", kWindowsPaths), kWindowsPaths), "out\\");
  EXPECT_EQ(AsDirectory(NormalisePath("out/", kWindowsPaths), kWindowsPaths), "out\\");
  EXPECT_EQ(AsDirectory(NormalisePath("c:/reports\\x", kWindowsPaths), kWindowsPaths),
            "c:\\reports\\x\\");
  EXPECT_EQ(AsDirectory(NormalisePath("c:", kWindowsPaths), kWindowsPaths), "c:\\");
  EXPECT_EQ(AsDirectory("", kWindowsPaths), "");
}

TEST(PosixPaths, ColonIsAnOrdinaryCharacter) {
  EXPECT_EQ(SplitGame("c:/data/game", kPosixPaths), (GamePath{"c:/data/", "game"}));
  EXPECT_EQ(SplitGame("c:\\games\\my-game", kPosixPaths), (GamePath{"c:/games/", "my-game"}));
  EXPECT_EQ(SplitGame("c:game", kPosixPaths), (GamePath{"", "c:game"}));
  EXPECT_EQ(SplitGame("/tmp/x/", kPosixPaths), (GamePath{"/tmp/x/", ""}));
  EXPECT_EQ(AsDirectory(NormalisePath("out", kPosixPaths), kPosixPaths), "out/");
  EXPECT_EQ(AsDirectory(NormalisePath("out\\", kPosixPaths), kPosixPaths), "out/");
  EXPECT_EQ(AsDirectory(NormalisePath("c:", kPosixPaths), kPosixPaths), "c:/");
}
