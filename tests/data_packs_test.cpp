// The forged data packs: they read to their end, their entries carry the names the loaders
// ask for, they are the only copy of what they hold, and the files that must stay loose do.
#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "data_files.h"
#include "test_support.h"

namespace {

using data_files::upper;

// Every loose file under Data/ by its path ('/' separated).
std::vector<std::string> looseFiles() {
    std::vector<std::string> out;
    std::filesystem::path root = data_files::dataDir();
    for (const auto& e : std::filesystem::recursive_directory_iterator(root))
        if (e.is_regular_file()) out.push_back(std::filesystem::relative(e.path(), root).generic_string());
    return out;
}

std::string bare(const std::string& relPath) {
    size_t slash = relPath.rfind('/');
    return slash == std::string::npos ? relPath : relPath.substr(slash + 1);
}

TEST(DataPacks, PacksReadToTheirEndWithUniqueNames) {
    REQUIRE_DATA_SET("texts.dat");
    std::set<std::string> names;
    for (const char* pack : data_files::kPackNames) {
        std::optional<std::string> bytes = data_files::readLoose(data_files::dataDir() / pack);
        if (!bytes) continue;
        std::vector<data_files::PackEntry> entries;
        EXPECT_TRUE(data_files::splitPack(*bytes, pack, entries)) << pack << " does not end with its last record";
        for (const auto& e : entries) {
            EXPECT_TRUE(names.insert(upper(e.name)).second) << "two entries answer " << e.name;
            EXPECT_EQ(e.name.find('/'), std::string::npos) << e.name;
            // Only the field tiles are asked for with their folder ("field\\field0.tga").
            size_t slash = e.name.find('\\');
            if (slash != std::string::npos) {
                EXPECT_EQ(e.name.substr(0, slash + 1), "field\\") << e.name;
            }
        }
    }
    // The texts are read from the pack: it must really hold them.
    for (const char* text : {"STRINGS2.TXT", "TIPS2.TXT", "MENU.TXT", "MENUTEXT2.TXT"})
        EXPECT_TRUE(names.count(text)) << text << " is not packed";
}

TEST(DataPacks, PackedFilesAreTheOnlyCopy) {
    REQUIRE_DATA_SET("texts.dat");
    // The store answers a packed name before it looks at the disk, in any folder: a loose file
    // of the same name anywhere would be shadowed, and a loose copy would hide a broken pack.
    std::map<std::string, std::string> packed;
    for (const auto& e : data_files::packEntries()) packed[upper(e.name)] = e.pack;
    for (const std::string& file : looseFiles()) {
        std::string name = upper(bare(file));
        if (name == "TARGA.DAT" || name == "JPEG.DAT" || name == "TEXTS.DAT") continue;
        EXPECT_FALSE(packed.count(name)) << file << " is also in " << packed[name];
        EXPECT_FALSE(packed.count(upper(data_files::requestName(file)))) << file;
    }
}

TEST(DataPacks, FilesReadFromTheDiskStayLoose) {
    REQUIRE_DATA_SET("texts.dat");
    std::set<std::string> packed;
    for (const auto& e : data_files::packEntries()) packed.insert(upper(e.name));
    for (const char* name : {"SPLASH1.JPG", "SPLASH2.JPG", "LOADSCREEN.JPG", "LOADBAR.TGA", "MUSIC.MO3", "TROPHY.CFG"})
        EXPECT_FALSE(packed.count(name)) << name;
    for (const std::string& name : packed) {
        for (const char* ext : {".LVL", ".PAR", ".OGG", ".LEV"})
            EXPECT_FALSE(name.size() > 4 && name.compare(name.size() - 4, 4, ext) == 0) << name;
        EXPECT_NE(name.rfind("_A_BACK", 0), 0u) << name << " is re-read at every backdrop change";
    }
    // The level files and effects lie on the disk, where the scan and the listing find them.
    EXPECT_TRUE(std::filesystem::exists(data_files::dataDir() / "levels/pack1_129.lvl"));
    EXPECT_TRUE(std::filesystem::exists(data_files::dataDir() / "effects/bomb1_1.par"));
}

TEST(DataPacks, SplitterRejectsARecordRunningPastTheEnd) {
    std::vector<uint8_t> bytes;
    ASSERT_TRUE(buildPack({PackItem{"a.txt", {'x', 'y'}}, PackItem{"field\\f.tga", {1, 2, 3}}}, bytes));
    std::string pack(bytes.begin(), bytes.end());
    std::vector<data_files::PackEntry> entries;
    ASSERT_TRUE(data_files::splitPack(pack, "t", entries));
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_EQ(entries[0].bytes, "xy");
    EXPECT_EQ(entries[1].name, "field\\f.tga");
    EXPECT_EQ(entries[1].bytes, std::string("\1\2\3", 3));
    entries.clear();
    EXPECT_FALSE(data_files::splitPack(pack.substr(0, pack.size() - 1), "t", entries));
}

}  // namespace
