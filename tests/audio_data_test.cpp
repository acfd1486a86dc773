// The forged cues and music module: every cue the game plays is there and decodes, and every
// music section starts where the game expects it.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "app/loader.h"
#include "audio/audio.h"
#include "audio_fixtures.h"
#include "platform/mixer.h"
#include "progress/profiles.h"
#include "test_support.h"

namespace af = audio_fixtures;
namespace fs = std::filesystem;

namespace {

// The cues of the game's events, by file name.
std::vector<std::string> eventCues() {
    std::vector<std::string> names = {
        "MenuLineSelect.ogg", "ButtonClick.ogg", "MaxPlayers.ogg", "SFXVolume.ogg", "BreakZep.ogg",
        "BreakSquare.ogg", "BreakFigure.ogg", "FigureFall.ogg", "AddBomb.ogg", "AddSuperBomb.ogg",
        "AddThunder.ogg", "ExplosionBomb.ogg", "ExplosionSuperBomb.ogg", "Thunderbolt.ogg", "BonusPrize.ogg",
        "GetTrophy.ogg", "GetHammer.ogg", "UseHammer.ogg", "TimeOut.ogg", "GetLife.ogg", "DefeatLevel.ogg",
        "DefeatLevelEffect.ogg", "TipShow.ogg", "NoMoreMove.ogg", "LevelStatistic.ogg", "ReFillLevel.ogg",
        "MoveTipShow.ogg", "Gag.ogg", "menu.ogg", "brook.ogg", "waterfall.ogg"};
    for (int i = 1; i <= 8; ++i) names.push_back("BreakFigure" + std::to_string(i) + ".ogg");
    for (int i = 1; i <= 9; ++i) names.push_back("map" + std::to_string(i) + ".ogg");
    for (int i = 1; i <= 3; ++i) names.push_back("birds" + std::to_string(i) + ".ogg");
    return names;
}

// Every cue named by a literal in a play call of the game's sources.
std::set<std::string> cuesNamedInSources() {
    std::set<std::string> names;
    std::regex call(R"re(playSound(AtFrequency)?\(\s*"([^"%]+)")re");
    for (const auto& entry : fs::recursive_directory_iterator(fs::path(SANDMERE_SOURCE_DIR) / "src")) {
        if (!entry.is_regular_file() || entry.path().extension() != ".cpp") continue;
        std::ifstream in(entry.path());
        std::stringstream text;
        text << in.rdbuf();
        std::string s = text.str();
        for (std::sregex_iterator it(s.begin(), s.end(), call), end; it != end; ++it) names.insert((*it)[2]);
    }
    return names;
}

class AudioDataTest : public ::testing::Test {
protected:
    void SetUp() override { previous_ = fs::current_path(); }
    void TearDown() override {
        resetAudioState();
        settings() = Settings();
        fs::current_path(previous_);
    }
    void load() {
        fs::current_path(SANDMERE_DATA_DIR);
        resetAudioState();
        resetLoaderState();
        initAudioWithoutDevice();
        loadSounds();
    }
    fs::path previous_;
};

TEST_F(AudioDataTest, EveryCueTheGamePlaysIsThereAndDecodes) {
    REQUIRE_DATA_SET("Sounds");
    load();
    const AudioState& a = audioState();
    ASSERT_GT(a.bankCount, 0);
    for (int i = 0; i < a.bankCount; ++i) {
        EXPECT_NE(a.bank[i].sample, 0u) << a.bank[i].name << " does not decode";
        EXPECT_GT(platform::sampleFrames(a.bank[i].sample), 0) << a.bank[i].name;
    }
    for (const std::string& name : eventCues()) {
        int index = findSound(name.c_str());
        ASSERT_GE(index, 0) << "missing cue " << name;
        // The break cue is pitched up from 22050 Hz; every other cue plays at 44100 Hz.
        int expectedRate = name == "BreakFigure.ogg" ? 22050 : 44100;
        EXPECT_EQ(platform::sampleRate(a.bank[index].sample), expectedRate) << name;
    }
    for (const std::string& name : cuesNamedInSources()) {
        EXPECT_GE(findSound(name.c_str()), 0) << "the code plays " << name << " but the data set has no such cue";
    }
}

TEST_F(AudioDataTest, TheModuleHasEverySectionAndSoundsThere) {
    REQUIRE_DATA_SET("music.mo3");
    load();
    ASSERT_TRUE(audioState().moduleLoaded);
    int32_t orders = platform::moduleOrderCount();
    settings().musicVolume = 100;
    applyVolumes();
    for (int section = 0; section <= 6; ++section) {
        int32_t order = musicSectionOrder(section);
        EXPECT_LT(order, orders) << section;
        switchMusicSection(section);
        std::vector<int16_t> out(2 * 44100);
        platform::mixFrames(out.data(), 44100);
        EXPECT_EQ(platform::moduleOrder(), order) << section;
        EXPECT_GT(af::peak(out), 1000.0) << "section " << section << " is silent";
    }
}

}  // namespace
