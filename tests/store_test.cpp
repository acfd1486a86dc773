// The resource store and its data packs: case-blind names, scrambling, the pack reader on good
// and damaged packs, loading, copying, saving and giving files back.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "app/loader.h"
#include "app/pack_writer.h"
#include "app/resource_store.h"
#include "platform/files.h"
#include "test_support.h"

using testing_support::FatalError;
using testing_support::FatalGuard;
using testing_support::readFile;
using testing_support::TempDir;
using testing_support::writeFile;

namespace {

std::vector<uint8_t> bytesOf(const std::string& s) { return std::vector<uint8_t>(s.begin(), s.end()); }
std::string textOf(const uint8_t* data, int32_t size) { return std::string(reinterpret_cast<const char*>(data), size); }

// Every test runs in a fresh folder of its own with an empty store.
class Store : public ::testing::Test {
protected:
    void SetUp() override {
        previous_ = platform::currentDir();
        ASSERT_TRUE(platform::changeDir(dir_.str().c_str()));
        resetResourceStore();
        resetLoaderState();
    }
    void TearDown() override {
        resetResourceStore();
        platform::failWriteStep(platform::WriteStep::None, 0);
        platform::changeDir(previous_.c_str());
    }

    void writePackFile(const std::string& name, const std::vector<PackItem>& items) {
        std::vector<uint8_t> bytes;
        ASSERT_TRUE(buildPack(items, bytes));
        writeFile(dir_ / name, std::string(bytes.begin(), bytes.end()));
    }

    // The fatal message raised by fn, or "" when none was.
    template <typename Fn>
    FatalError fatalOf(Fn fn) {
        FatalGuard guard;
        try {
            fn();
        } catch (const FatalError& e) {
            return e;
        }
        return FatalError("", "");
    }

    TempDir dir_;
    std::string previous_;
};

// ---- names without case ----

TEST_F(Store, PackedMixedCaseNameServesALowerCaseRequest) {
    writePackFile("jpeg.dat", {{"Splash1.JPG", bytesOf("picture bytes")}});
    openPack("jpeg.dat");
    int32_t size = 0;
    uint8_t* data = loadFile("splash1.jpg", &size, true);
    ASSERT_NE(data, nullptr);
    EXPECT_EQ(textOf(data, size), "picture bytes");
    EXPECT_EQ(findEntry("SPLASH1.jpg")->data, data);
    EXPECT_STREQ(findEntry("splash1.JPG")->name, "SPLASH1.JPG");
}

TEST_F(Store, LooseUpperCaseFileServesALowerCaseRequestAndStaysInTheStore) {
    writeFile(dir_ / "SPLASH1.JPG", "loose");
    int32_t size = 0;
    uint8_t* first = loadFile("splash1.jpg", &size, true);
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(textOf(first, size), "loose");
    EXPECT_EQ(first[size], 0) << "a loaded file ends with a 0 byte after its data";
    // The second request is served from memory, even after the disk file is gone.
    std::filesystem::remove(dir_ / "SPLASH1.JPG");
    EXPECT_EQ(loadFile("Splash1.Jpg", &size, true), first);
    EXPECT_EQ(resourceCount(), 1);
}

TEST_F(Store, CodePage1251LettersFoldButOtherHighBytesDoNot) {
    char name[] = "a\xE0\xEF\xFF\xB8z\xC0.txt";
    normaliseName(name);
    EXPECT_STREQ(name, "A\xC0\xCF\xDF\xB8Z\xC0.TXT");

    uint8_t one = 1, two = 2;
    addEntry("\xE1\xE2.dat", 1, &one, false);
    addEntry("\xB8.dat", 1, &two, false);
    ASSERT_NE(findEntry("\xC1\xC2.DAT"), nullptr);
    EXPECT_EQ(findEntry("\xC1\xC2.DAT")->data, &one);
    EXPECT_EQ(findEntry("\xB8.DAT")->data, &two);
    EXPECT_EQ(findEntry("\xA8.dat"), nullptr) << "0xB8 has no upper-case form in the store";
}

TEST_F(Store, BackslashNamesReachSubfoldersButKeepTheirSpellingInTheStore) {
    writeFile(dir_ / "Field/Field0.TGA", "tga");
    int32_t size = 0;
    uint8_t* data = loadFile("field\\field0.tga", &size, false);
    ASSERT_NE(data, nullptr);
    EXPECT_EQ(textOf(data, size), "tga");
    EXPECT_STREQ(resourceAt(0)->name, "FIELD\\FIELD0.TGA");

    resetResourceStore();
    std::filesystem::remove_all(dir_ / "Field");
    writePackFile("targa.dat", {{"field\\field1.tga", bytesOf("packed")}});
    openPack("targa.dat");
    data = loadFile("FIELD\\Field1.tga", &size, false);
    ASSERT_NE(data, nullptr);
    EXPECT_EQ(textOf(data, size), "packed");
}

// ---- scrambling ----

TEST_F(Store, OneCharacterNameScramblesEveryByteWithIt) {
    std::vector<uint8_t> plain = {0x00, 0x01, 0x71, 0xFF, 0x80, 0x10};
    std::vector<uint8_t> pack;
    ASSERT_TRUE(buildPack({{"q", plain}}, pack));
    ASSERT_EQ(pack.size(), 2u + 4u + plain.size());
    EXPECT_EQ(pack[0], 'q');
    EXPECT_EQ(pack[1], 0);
    EXPECT_EQ(pack[2], plain.size());
    EXPECT_EQ(pack[3] | pack[4] | pack[5], 0);
    for (size_t i = 0; i < plain.size(); ++i) EXPECT_EQ(pack[6 + i], plain[i] ^ 'q') << "byte " << i;
}

TEST_F(Store, NameIsAppliedBackwardsAndRepeated) {
    std::vector<uint8_t> plain(7, 0);
    std::vector<uint8_t> pack;
    ASSERT_TRUE(buildPack({{"abc", plain}}, pack));
    std::string scrambled(pack.begin() + 8, pack.end());
    EXPECT_EQ(scrambled, "cbacbac");
}

TEST_F(Store, PackWriterRefusesNamesTheReaderCannotTake) {
    std::vector<uint8_t> pack;
    EXPECT_FALSE(buildPack({{"", bytesOf("x")}}, pack));
    EXPECT_FALSE(buildPack({{std::string(64, 'n'), bytesOf("x")}}, pack));
    EXPECT_FALSE(buildPack({{std::string("a\0b", 3), bytesOf("x")}}, pack));
    EXPECT_TRUE(buildPack({{std::string(63, 'n'), bytesOf("x")}}, pack));
}

// ---- reading packs ----

TEST_F(Store, PackRoundTripGivesEveryEntryByteForByteFromInsideThePackBuffer) {
    std::vector<PackItem> items;
    for (int i = 0; i < 40; ++i) {
        PackItem item;
        item.name = "file" + std::to_string(i) + (i % 2 ? ".TGA" : ".txt");
        for (int b = 0; b < i * 37; ++b) item.data.push_back(static_cast<uint8_t>((b * 31 + i) & 0xFF));
        items.push_back(item);
    }
    items.push_back({"empty.dat", {}});
    items.push_back({"z", bytesOf("last record ends exactly at the end")});
    writePackFile("texts.dat", items);
    int64_t packLength = static_cast<int64_t>(std::filesystem::file_size(dir_ / "texts.dat"));
    openPack("texts.dat");

    ASSERT_EQ(resourceCount(), static_cast<int>(items.size()) + 1);
    const ResourceEntry* pack = resourceAt(0);
    EXPECT_STREQ(pack->name, "TEXTS.DAT");
    EXPECT_EQ(pack->size, packLength);
    EXPECT_TRUE(pack->owned);
    EXPECT_EQ(pack->data[pack->size], 0) << "the pack buffer ends with an extra 0 byte";

    int64_t total = packLength;
    for (const PackItem& item : items) {
        const ResourceEntry* e = findEntry(item.name.c_str());
        ASSERT_NE(e, nullptr) << item.name;
        EXPECT_FALSE(e->owned);
        EXPECT_GE(e->data, pack->data);
        EXPECT_LE(e->data + e->size, pack->data + pack->size);
        ASSERT_EQ(e->size, static_cast<int32_t>(item.data.size()));
        EXPECT_TRUE(item.data.empty() || std::memcmp(e->data, item.data.data(), item.data.size()) == 0) << item.name;
        total += e->size;
    }
    // Every entry, the pack buffer included, moved the loading bar by its size.
    EXPECT_EQ(loaderState().itemsLoaded, items.size() + 1);
    EXPECT_EQ(static_cast<int64_t>(loaderState().bytesLoaded), total);
}

TEST_F(Store, OlderEntryWinsWhenANameIsEnteredTwice) {
    writePackFile("targa.dat", {{"same.txt", bytesOf("first")}, {"SAME.TXT", bytesOf("second")}});
    writePackFile("jpeg.dat", {{"same.txt", bytesOf("third")}});
    openPack("targa.dat");
    openPack("jpeg.dat");
    writeFile(dir_ / "same.txt", "loose");
    int32_t size = 0;
    uint8_t* data = loadFile("same.txt", &size, true);
    EXPECT_EQ(textOf(data, size), "first");
}

TEST_F(Store, MissingPackIsSkippedSilently) {
    FatalGuard guard;
    EXPECT_NO_THROW(openPack("jpeg.dat"));
    std::filesystem::create_directory(dir_ / "texts.dat");
    EXPECT_NO_THROW(openPack("texts.dat"));
    EXPECT_EQ(resourceCount(), 0);
    EXPECT_EQ(loaderState().itemsLoaded, 0u);
}

TEST_F(Store, EmptyPackHoldsNoEntries) {
    writeFile(dir_ / "targa.dat", "");
    openPack("targa.dat");
    EXPECT_EQ(resourceCount(), 1);
}

TEST_F(Store, DamagedPacksStopWithTheLoadingMessageNamingThePack) {
    std::vector<uint8_t> good;
    ASSERT_TRUE(buildPack({{"a.txt", bytesOf("hello")}}, good));
    std::string g(good.begin(), good.end());
    struct Case {
        const char* what;
        std::string bytes;
    };
    std::string longName(64, 'n');
    std::vector<Case> cases = {
        {"record past the end", g.substr(0, g.size() - 1)},
        {"size cut off", g.substr(0, 8)},
        {"name without its 0 byte", g + "b.txt"},
        {"empty name", g + std::string("\0\1\0\0\0x", 6)},
        {"name longer than 63", g + longName + std::string("\0\0\0\0\0", 5)},
        {"size far past the end", std::string("x\0\xFF\xFF\xFF\x7F", 6)},
    };
    for (const Case& c : cases) {
        resetResourceStore();
        writeFile(dir_ / "targa.dat", c.bytes);
        FatalError e = fatalOf([] { openPack("targa.dat"); });
        EXPECT_STREQ(e.what(), "Can't load targa.dat...\nProgram will now stop.") << c.what;
        EXPECT_EQ(e.caption, "Loading Error") << c.what;
        EXPECT_EQ(resourceCount(), 0) << c.what << ": nothing of a damaged pack is entered";
    }
}

TEST_F(Store, OnlyRecordBoundariesEndAWellFormedPack) {
    std::vector<uint8_t> pack;
    ASSERT_TRUE(buildPack({{"one", bytesOf("1111")}, {"two.bin", bytesOf("")}, {"3", bytesOf("333333")}}, pack));
    std::vector<size_t> boundaries = {0, 4 + 4 + 4, 4 + 4 + 4 + 8 + 4, pack.size()};
    for (size_t length = 0; length <= pack.size(); ++length) {
        // An exact-size heap copy, so that any read past the end is caught by the sanitizers.
        std::vector<uint8_t> prefix(pack.begin(), pack.begin() + static_cast<long>(length));
        bool boundary = std::find(boundaries.begin(), boundaries.end(), length) != boundaries.end();
        EXPECT_EQ(packIsWellFormed(prefix.data(), prefix.size()), boundary) << "length " << length;
    }
}

// ---- loading from the disk ----

TEST_F(Store, ReleasedPackedFileIsReadFromTheDiskNextTime) {
    writePackFile("texts.dat", {{"level.txt", bytesOf("packed")}});
    openPack("texts.dat");
    int32_t size = 0;
    uint8_t* packed = loadFile("level.txt", &size, true);
    EXPECT_EQ(textOf(packed, size), "packed");
    EXPECT_TRUE(releaseByData(packed));
    EXPECT_EQ(findEntry("level.txt"), nullptr);

    // Only the pack had it: a fatal request stops, a quiet one gets nothing.
    FatalError e = fatalOf([] { loadFile("level.txt", nullptr, true); });
    EXPECT_STREQ(e.what(), "Can't load level.txt...\nProgram will now stop.");
    EXPECT_EQ(e.caption, "Loading Error");
    EXPECT_EQ(loadFile("level.txt", &size, false), nullptr);
    EXPECT_EQ(size, 0);

    writeFile(dir_ / "Level.TXT", "from disk");
    uint8_t* loose = loadFile("level.txt", &size, true);
    ASSERT_NE(loose, nullptr);
    EXPECT_EQ(textOf(loose, size), "from disk");
}

TEST_F(Store, EmptyFileLoadsAsATerminatedEmptyText) {
    writeFile(dir_ / "empty.txt", "");
    int32_t size = -1;
    uint8_t* data = loadFile("empty.txt", &size, true);
    ASSERT_NE(data, nullptr);
    EXPECT_EQ(size, 0);
    EXPECT_EQ(data[0], 0);
}

TEST_F(Store, FolderOrOverlongNameIsNotAFile) {
    std::filesystem::create_directory(dir_ / "levels");
    EXPECT_EQ(loadFile("levels", nullptr, false), nullptr);
    FatalError e = fatalOf([] { loadFile("levels", nullptr, true); });
    EXPECT_STREQ(e.what(), "Can't load levels...\nProgram will now stop.");

    std::string longName(64, 'f');
    writeFile(dir_ / longName, "x");
    EXPECT_EQ(loadFile(longName.c_str(), nullptr, false), nullptr);
    EXPECT_EQ(addEntry(longName.c_str(), 0, nullptr, false), nullptr);
    EXPECT_EQ(findEntry(longName.c_str()), nullptr);
    EXPECT_EQ(resourceCount(), 0);
}

TEST_F(Store, FullStoreStopsWithTheNameThatDidNotFit) {
    static uint8_t byte = 0;
    for (int i = 0; i < kStoreCapacity; ++i)
        // append rather than "x" + string: GCC 12 at -O3 warns falsely (-Wrestrict) on the latter
        ASSERT_NE(addEntry(std::string("n").append(std::to_string(i)).c_str(), 1, &byte, false), nullptr);
    writeFile(dir_ / "extra.txt", "x");
    FatalError e = fatalOf([] { loadFile("extra.txt", nullptr, true); });
    EXPECT_STREQ(e.what(), "Can't load extra.txt...\nProgram will now stop.");
    EXPECT_EQ(resourceCount(), kStoreCapacity);
}

// ---- copying into a caller's buffer ----

TEST_F(Store, ReadFileIntoCopiesWithoutEnteringTheStore) {
    writeFile(dir_ / "Settings.DAT", std::string("\x01\x02\x03\x04", 4));
    uint8_t buffer[8] = {0};
    int32_t size = 0;
    EXPECT_EQ(readFileInto("settings.dat", buffer, sizeof buffer, &size), buffer);
    EXPECT_EQ(size, 4);
    EXPECT_EQ(buffer[3], 4);
    EXPECT_EQ(resourceCount(), 0);
}

TEST_F(Store, ReadFileIntoNeverCopiesPastTheCapacity) {
    writeFile(dir_ / "records.dat", std::string(12, 'r'));
    uint8_t buffer[9];
    std::memset(buffer, 0xAB, sizeof buffer);
    int32_t size = 0;
    EXPECT_EQ(readFileInto("records.dat", buffer, 8, &size), nullptr);
    EXPECT_EQ(size, 12) << "the real size lets the caller apply its wrong-size rule";
    for (uint8_t b : buffer) EXPECT_EQ(b, 0xAB);

    writePackFile("texts.dat", {{"packed.dat", bytesOf("0123456789")}});
    openPack("texts.dat");
    EXPECT_EQ(readFileInto("PACKED.DAT", buffer, 8, &size), nullptr);
    EXPECT_EQ(size, 10);
    EXPECT_EQ(buffer[0], 0xAB);
    uint8_t exact[10];
    EXPECT_EQ(readFileInto("packed.dat", exact, 10, &size), exact) << "an exact fit is copied";
    EXPECT_EQ(std::string(reinterpret_cast<char*>(exact), 10), "0123456789");
}

TEST_F(Store, ReadFileIntoServesStoreEntriesAndIsQuietWhenMissing) {
    writePackFile("texts.dat", {{"packed.dat", bytesOf("abc")}});
    openPack("texts.dat");
    uint8_t buffer[4] = {0};
    int32_t size = 0;
    FatalGuard guard;
    EXPECT_EQ(readFileInto("Packed.dat", buffer, 4, &size), buffer);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(buffer), 3), "abc");
    size = 99;
    EXPECT_EQ(readFileInto("missing.dat", buffer, 4, &size), nullptr);
    EXPECT_EQ(size, 0);
}

// ---- saving ----

TEST_F(Store, SaveFileReplacesTheWholeFile) {
    writeFile(dir_ / "profiles.dat", std::string(300, 'o'));
    const uint8_t fresh[5] = {'n', 'e', 'w', 0, 1};
    saveFile("profiles.dat", fresh, 5);
    EXPECT_EQ(readFile(dir_ / "profiles.dat"), std::string("new\0\1", 5));
    EXPECT_FALSE(std::filesystem::exists(dir_ / "profiles.dat.tmp"));
}

TEST_F(Store, FailedSaveLeavesThePreviousFileByteIdentical) {
    const std::string old = std::string("old\0profile", 11);
    std::vector<uint8_t> fresh(4096, 0x5A);
    for (platform::WriteStep step : {platform::WriteStep::Open, platform::WriteStep::Write,
                                     platform::WriteStep::Flush, platform::WriteStep::Sync,
                                     platform::WriteStep::Close, platform::WriteStep::Rename}) {
        writeFile(dir_ / "records.dat", old);
        platform::failWriteStep(step);
        FatalError e = fatalOf([&] { saveFile("records.dat", fresh.data(), static_cast<int32_t>(fresh.size())); });
        EXPECT_STREQ(e.what(), "Can't save records.dat...\nProgram will now stop.") << static_cast<int>(step);
        EXPECT_EQ(e.caption, "Writing Error");
        EXPECT_EQ(readFile(dir_ / "records.dat"), old) << static_cast<int>(step);
        EXPECT_FALSE(std::filesystem::exists(dir_ / "records.dat.tmp")) << static_cast<int>(step);
    }
}

TEST_F(Store, SaveIntoAFolderThatCannotTakeTheTempFileFails) {
    writeFile(dir_ / "hiscore.dat", "old scores");
    std::filesystem::create_directory(dir_ / "hiscore.dat.tmp");
    const uint8_t fresh[3] = {1, 2, 3};
    FatalError e = fatalOf([&] { saveFile("hiscore.dat", fresh, 3); });
    EXPECT_STREQ(e.what(), "Can't save hiscore.dat...\nProgram will now stop.");
    EXPECT_EQ(readFile(dir_ / "hiscore.dat"), "old scores");
    EXPECT_TRUE(std::filesystem::is_directory(dir_ / "hiscore.dat.tmp"));

    FatalError missing = fatalOf([&] { saveFile("nowhere/settings.dat", fresh, 3); });
    EXPECT_EQ(missing.caption, "Writing Error");
}

// ---- giving files back ----

TEST_F(Store, ReleaseClosesTheGapAndKeepsTheOrder) {
    static uint8_t a = 1, b = 2, c = 3;
    addEntry("a", 1, &a, false);
    addEntry("b", 1, &b, false);
    addEntry("c", 1, &c, false);
    EXPECT_TRUE(releaseByData(&b));
    ASSERT_EQ(resourceCount(), 2);
    EXPECT_STREQ(resourceAt(0)->name, "A");
    EXPECT_STREQ(resourceAt(1)->name, "C");
    EXPECT_EQ(resourceAt(2), nullptr);
    EXPECT_FALSE(releaseByData(&b));
    EXPECT_FALSE(releaseByData(nullptr));
}

TEST_F(Store, ReleaseByNameMatchesWhateverTheCase) {
    writeFile(dir_ / "model.cgo", "nummeshes=1\r\n");
    ASSERT_NE(loadFile("model.cgo", nullptr, true), nullptr);
    EXPECT_FALSE(releaseByName("other.cgo"));
    EXPECT_TRUE(releaseByName("model.cgo"));
    EXPECT_EQ(resourceCount(), 0);
    EXPECT_FALSE(releaseByName("MODEL.CGO"));
}

TEST_F(Store, FreedSlotsAreReusedWithoutLimit) {
    writeFile(dir_ / "again.txt", "bytes");
    for (int i = 0; i < 3 * kStoreCapacity; ++i) {
        uint8_t* data = loadFile("again.txt", nullptr, true);
        ASSERT_NE(data, nullptr);
        ASSERT_TRUE(releaseByData(data));
    }
    EXPECT_EQ(resourceCount(), 0);
}

}  // namespace

namespace {

TEST(PackContents, FilesReadBeforeThePacksOrFromTheDiskStayLoose) {
    for (const char* loose : {"splash1.jpg", "SPLASH2.JPG", "loadscreen.jpg", "loadbar.tga", "music.mo3",
                              "Sounds/click.ogg", "sounds\\Break1.OGG", "AnimBacks/_a_back0.jpg",
                              "animbacks\\_A_BACK17.JPG"})
        EXPECT_TRUE(staysLoose(loose)) << loose;
    for (const char* packed : {"strings2.txt", "levels/pack1_01.lvl", "AnimBacks/back1.jpg", "_a_back.jpg",
                               "_a_backx.jpg", "_a_back1.tga", "field\\field0.tga", "mysounds/a.ogg",
                               "splash1.jpg.bak", ""})
        EXPECT_FALSE(staysLoose(packed)) << packed;
}

}  // namespace
