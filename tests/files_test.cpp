// The disk side: Windows names found whatever their case, backslash names, sorted listings and
// files that are replaced whole or not at all.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "platform/files.h"
#include "test_support.h"

using testing_support::readFile;
using testing_support::TempDir;
using testing_support::writeFile;

namespace {

class Files : public ::testing::Test {
protected:
    void SetUp() override {
        previous_ = platform::currentDir();
        ASSERT_TRUE(platform::changeDir(dir_.str().c_str()));
    }
    void TearDown() override {
        platform::failWriteStep(platform::WriteStep::None, 0);
        platform::changeDir(previous_.c_str());
    }
    TempDir dir_;
    std::string previous_;
};

TEST_F(Files, EachPartOfAPathIsFoundWhateverItsCase) {
    writeFile(dir_ / "Sounds/Click.OGG", "ogg");
    EXPECT_EQ(platform::resolvePath("sounds/click.ogg"), "Sounds/Click.OGG");
    EXPECT_EQ(platform::resolvePath("SOUNDS\\CLICK.ogg"), "Sounds/Click.OGG");
    std::string absolute = dir_.str() + "/SOUNDS/click.ogg";
    EXPECT_EQ(platform::resolvePath(absolute.c_str()), dir_.str() + "/Sounds/Click.OGG");
    EXPECT_TRUE(platform::isRegularFile("sounds/CLICK.ogg"));
    EXPECT_TRUE(platform::isDirectory("SOUNDS"));
}

TEST_F(Files, ExactNameComesFirstThenTheFirstInListingOrder) {
    writeFile(dir_ / "data/x", "lower");
    writeFile(dir_ / "Data/x", "capital");
    writeFile(dir_ / "DATA/x", "upper");
    EXPECT_EQ(platform::resolvePath("data/x"), "data/x");
    EXPECT_EQ(platform::resolvePath("DATA/x"), "DATA/x");
    // No exact match: among equal names the byte order decides, so the choice is stable.
    EXPECT_EQ(platform::resolvePath("dATA/x"), "DATA/x");
}

TEST_F(Files, MissingPartsKeepTheSpellingTheGameUses) {
    std::filesystem::create_directory(dir_ / "Settings");
    EXPECT_EQ(platform::resolvePath("settings/Anna_cls.sav"), "Settings/Anna_cls.sav");
    EXPECT_EQ(platform::resolvePath("nofolder/a\\b.txt"), "nofolder/a/b.txt");
}

TEST_F(Files, FolderEntryIsCaseBlind) {
    std::filesystem::create_directory(dir_ / "AnimBacks");
    ASSERT_TRUE(platform::changeDir("animbacks"));
    EXPECT_EQ(std::filesystem::path(platform::currentDir()).filename(), "AnimBacks");
    EXPECT_FALSE(platform::changeDir("nothing"));
}

TEST_F(Files, DataFolderIsFoundInAnyCaseWithItsTrailingSlash) {
    std::filesystem::create_directories(dir_ / "install/data");
    std::string asked = dir_.str() + "/install/Data/";
    EXPECT_EQ(platform::resolvePath(asked.c_str()), dir_.str() + "/install/data/");
    EXPECT_TRUE(platform::isDirectory(asked.c_str()));
    ASSERT_TRUE(platform::changeDir(asked.c_str()));
    EXPECT_EQ(std::filesystem::path(platform::currentDir()).filename(), "data");
}

TEST_F(Files, MakeDirUsesAnExistingCaseVariant) {
    std::filesystem::create_directory(dir_ / "settings");
    EXPECT_TRUE(platform::makeDir("SETTINGS"));
    int folders = 0;
    for (const auto& e : std::filesystem::directory_iterator(dir_.path)) folders += e.is_directory() ? 1 : 0;
    EXPECT_EQ(folders, 1) << "no second folder under another case";
    EXPECT_TRUE(platform::makeDir("trophyes"));
    EXPECT_TRUE(std::filesystem::is_directory(dir_ / "trophyes"));
}

TEST_F(Files, ListingHoldsMatchingRegularFilesInCaseBlindOrder) {
    writeFile(dir_ / "effects/b.par", "");
    writeFile(dir_ / "effects/A.PAR", "");
    writeFile(dir_ / "effects/c.Par", "");
    writeFile(dir_ / "effects/_z.par", "");
    writeFile(dir_ / "effects/x.ogg", "");
    writeFile(dir_ / "effects/apar", "");
    writeFile(dir_ / "effects/par", "");
    std::filesystem::create_directory(dir_ / "effects/folder.par");
    std::vector<std::string> expected = {"_z.par", "A.PAR", "b.par", "c.Par"};
    EXPECT_EQ(platform::listFiles("Effects", "*.par"), expected);
    EXPECT_EQ(platform::listFiles("effects", ".PAR"), expected);
    EXPECT_EQ(platform::listFiles("EFFECTS", "par"), expected);
    EXPECT_EQ(platform::listFiles("effects", nullptr).size(), 7u);
    EXPECT_TRUE(platform::listFiles("missing", "par").empty());
}

TEST_F(Files, OpenAndReadRefuseFolders) {
    std::filesystem::create_directory(dir_ / "levels");
    EXPECT_EQ(platform::openFile("levels", "rb"), nullptr);
    std::vector<uint8_t> bytes = {1};
    EXPECT_FALSE(platform::readWholeFile("levels", bytes));
    EXPECT_TRUE(bytes.empty());
    writeFile(dir_ / "levels/Pack1_01.lvl", "level");
    ASSERT_TRUE(platform::readWholeFile("levels\\pack1_01.LVL", bytes));
    EXPECT_EQ(std::string(bytes.begin(), bytes.end()), "level");
}

TEST_F(Files, AtomicWriteReusesAnExistingCaseVariantOfTheName) {
    writeFile(dir_ / "Settings/PROFILES.DAT", "old");
    ASSERT_TRUE(platform::writeFileAtomic("settings/profiles.dat", "new", 3));
    EXPECT_EQ(readFile(dir_ / "Settings/PROFILES.DAT"), "new");
    EXPECT_FALSE(std::filesystem::exists(dir_ / "Settings/profiles.dat"));
    EXPECT_EQ(platform::listFiles("settings", nullptr), std::vector<std::string>{"PROFILES.DAT"});
}

TEST_F(Files, EveryFailedStepLeavesTheOldFileAndNoTempFile) {
    for (platform::WriteStep step : {platform::WriteStep::Open, platform::WriteStep::Write,
                                     platform::WriteStep::Flush, platform::WriteStep::Sync,
                                     platform::WriteStep::Close, platform::WriteStep::Rename}) {
        writeFile(dir_ / "Anna.trp", "trophies");
        platform::failWriteStep(step);
        std::string fresh(10000, 'n');
        EXPECT_FALSE(platform::writeFileAtomic("anna.trp", fresh.data(), fresh.size())) << static_cast<int>(step);
        EXPECT_EQ(readFile(dir_ / "Anna.trp"), "trophies") << static_cast<int>(step);
        EXPECT_FALSE(std::filesystem::exists(dir_ / "Anna.trp.tmp")) << static_cast<int>(step);
    }
    // The failure is spent: the next write succeeds.
    EXPECT_TRUE(platform::writeFileAtomic("anna.trp", "x", 1));
    EXPECT_EQ(readFile(dir_ / "Anna.trp"), "x");
}

TEST_F(Files, ArmedFailureLastsForTheGivenNumberOfWrites) {
    platform::failWriteStep(platform::WriteStep::Write, 2);
    EXPECT_FALSE(platform::writeFileAtomic("a.dat", "1", 1));
    EXPECT_FALSE(platform::writeFileAtomic("a.dat", "2", 1));
    EXPECT_TRUE(platform::writeFileAtomic("a.dat", "3", 1));
    EXPECT_EQ(readFile(dir_ / "a.dat"), "3");
}

TEST_F(Files, WriteNeverReplacesAFolder) {
    std::filesystem::create_directory(dir_ / "records.dat");
    EXPECT_FALSE(platform::writeFileAtomic("records.dat", "x", 1));
    EXPECT_TRUE(std::filesystem::is_directory(dir_ / "records.dat"));
    EXPECT_TRUE(platform::writeFileAtomic("empty.dat", nullptr, 0));
    EXPECT_EQ(std::filesystem::file_size(dir_ / "empty.dat"), 0u);
}

TEST_F(Files, NamesCompareWithoutAsciiCaseOnly) {
    EXPECT_EQ(platform::compareNamesNoCase("Sounds", "sOUNDS"), 0);
    EXPECT_LT(platform::compareNamesNoCase("a.par", "B.par"), 0);
    EXPECT_LT(platform::compareNamesNoCase("_", "a"), 0) << "underscore sorts before letters, as on NTFS";
    EXPECT_NE(platform::compareNamesNoCase("\xE0", "\xC0"), 0);
}

}  // namespace
