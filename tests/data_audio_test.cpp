// Checks the forged sound cues and the music module: names, formats, rates, lengths, pitch steps
// and the looping of every music section.
#include <gtest/gtest.h>
#include <libopenmpt/libopenmpt.hpp>
#include <libopenmpt/libopenmpt_ext.hpp>
#include <vorbis/vorbisfile.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <set>
#include <string>
#include <vector>

#include "test_support.h"

namespace {

namespace fs = std::filesystem;

const std::vector<std::string> kRequiredCues = {
    "MenuLineSelect.ogg", "ButtonClick.ogg", "MaxPlayers.ogg", "SFXVolume.ogg", "BreakZep.ogg",
    "BreakSquare.ogg", "BreakFigure1.ogg", "BreakFigure2.ogg", "BreakFigure3.ogg", "BreakFigure4.ogg",
    "BreakFigure5.ogg", "BreakFigure6.ogg", "BreakFigure7.ogg", "BreakFigure8.ogg", "BreakFigure.ogg",
    "FigureFall.ogg", "AddBomb.ogg", "AddSuperBomb.ogg", "AddThunder.ogg", "ExplosionBomb.ogg",
    "ExplosionSuperBomb.ogg", "Thunderbolt.ogg", "GetHammer.ogg", "UseHammer.ogg", "BonusPrize.ogg",
    "GetLife.ogg", "TimeOut.ogg", "DefeatLevel.ogg", "DefeatLevelEffect.ogg", "GetTrophy.ogg",
    "TipShow.ogg", "NoMoreMove.ogg", "MoveTipShow.ogg", "ReFillLevel.ogg", "LevelStatistic.ogg",
    "Gag.ogg", "map1.ogg", "map2.ogg", "map3.ogg", "map4.ogg", "map5.ogg", "map6.ogg", "map7.ogg",
    "map8.ogg", "map9.ogg", "menu.ogg", "birds1.ogg", "birds2.ogg", "birds3.ogg", "brook.ogg",
    "waterfall.ogg"};

const std::vector<std::string> kOptionalCues = {"ComboPrize.ogg", "UpScore.ogg", "LevelRecord.ogg",
                                                "GameComplete.ogg", "LevelComplete.ogg", "TrophyComplete.ogg"};

// Where the music sections start, as the audio code asks for them.
const int kSectionOrders[7] = {0, 17, 31, 47, 72, 89, 92};

fs::path dataPath(const std::string& rel) { return fs::path(SANDMERE_DATA_DIR) / rel; }

struct Decoded {
    bool ok = false;
    long rate = 0;
    int channels = 0;
    std::vector<float> mono;  // the channels averaged
    double seconds() const { return rate ? static_cast<double>(mono.size()) / rate : 0.0; }
};

Decoded decode(const fs::path& path) {
    Decoded d;
    OggVorbis_File vf;
    if (ov_fopen(path.c_str(), &vf) != 0) return d;
    vorbis_info* info = ov_info(&vf, -1);
    d.rate = info->rate;
    d.channels = info->channels;
    int section = 0;
    for (;;) {
        float** pcm = nullptr;
        long n = ov_read_float(&vf, &pcm, 4096, &section);
        if (n < 0) {
            ov_clear(&vf);
            return d;
        }
        if (n == 0) break;
        for (long i = 0; i < n; ++i) {
            float sum = 0;
            for (int c = 0; c < d.channels; ++c) sum += pcm[c][i];
            d.mono.push_back(sum / static_cast<float>(d.channels));
        }
    }
    ov_clear(&vf);
    d.ok = true;
    return d;
}

double goertzelPower(const std::vector<float>& v, size_t n, double f, long rate) {
    double w = 2.0 * M_PI * f / static_cast<double>(rate), coeff = 2.0 * std::cos(w);
    double s1 = 0, s2 = 0;
    for (size_t i = 0; i < n; ++i) {
        double s0 = v[i] + coeff * s1 - s2;
        s2 = s1;
        s1 = s0;
    }
    return s1 * s1 + s2 * s2 - coeff * s1 * s2;
}

// The strongest frequency between lo and hi Hz over the first `seconds`: a search in eighths of
// a semitone, then refined to about one cent around the best.
double dominantFrequency(const Decoded& d, double lo, double hi, double seconds) {
    size_t n = std::min(d.mono.size(), static_cast<size_t>(seconds * static_cast<double>(d.rate)));
    double best = lo, bestPower = -1;
    for (double f = lo; f <= hi; f *= std::pow(2.0, 1.0 / 96.0)) {
        double power = goertzelPower(d.mono, n, f, d.rate);
        if (power > bestPower) {
            bestPower = power;
            best = f;
        }
    }
    double coarse = best;
    for (int k = -13; k <= 13; ++k) {
        double f = coarse * std::pow(2.0, k / 1200.0);
        double power = goertzelPower(d.mono, n, f, d.rate);
        if (power > bestPower) {
            bestPower = power;
            best = f;
        }
    }
    return best;
}

double semitones(double a, double b) { return 12.0 * std::log2(b / a); }

std::set<std::string> soundFolderListing() {
    std::set<std::string> names;
    for (const auto& e : fs::directory_iterator(dataPath("Sounds"))) names.insert(e.path().filename().string());
    return names;
}

}  // namespace

TEST(DataSoundCues, EveryCueIsListedWithItsExactName) {
    REQUIRE_DATA_SET("Sounds");
    std::set<std::string> names = soundFolderListing();
    for (const std::string& cue : kRequiredCues) {
        EXPECT_TRUE(names.count(cue)) << "missing cue " << cue;
        EXPECT_LT(cue.size(), 32u) << cue;
    }
    for (const std::string& cue : kOptionalCues) EXPECT_TRUE(names.count(cue)) << "missing optional cue " << cue;
    // Nothing else: a stray file would take a slot in the bank and a case twin would never play.
    EXPECT_EQ(names.size(), kRequiredCues.size() + kOptionalCues.size());
    EXPECT_LE(names.size(), 256u);
}

TEST(DataSoundCues, EveryCueDecodesAtItsRateWithASensibleLength) {
    REQUIRE_DATA_SET("Sounds");
    std::vector<std::string> all = kRequiredCues;
    all.insert(all.end(), kOptionalCues.begin(), kOptionalCues.end());
    uintmax_t total = 0;
    for (const std::string& cue : all) {
        SCOPED_TRACE(cue);
        fs::path path = dataPath("Sounds/" + cue);
        ASSERT_TRUE(fs::exists(path));
        total += fs::file_size(path);
        Decoded d = decode(path);
        ASSERT_TRUE(d.ok);
        EXPECT_EQ(d.rate, cue == "BreakFigure.ogg" ? 22050 : 44100);
        EXPECT_TRUE(d.channels == 1 || d.channels == 2);
        EXPECT_GE(d.seconds(), 0.05);
        EXPECT_LE(d.seconds(), 4.0);
        float peak = 0;
        for (float v : d.mono) {
            ASSERT_TRUE(std::isfinite(v));
            peak = std::max(peak, std::fabs(v));
        }
        EXPECT_GT(peak, 0.1f) << "too quiet";
        EXPECT_LE(peak, 1.05f) << "clipped";
    }
    // Every cue is decoded into memory at start: keep the bank small.
    EXPECT_LT(total, 2u * 1024u * 1024u);
}

TEST(DataSoundCues, QuickCuesAreShortAndAmbienceCoversItsPeriod) {
    REQUIRE_DATA_SET("Sounds");
    for (const char* cue : {"MenuLineSelect.ogg", "ButtonClick.ogg", "FigureFall.ogg", "ReFillLevel.ogg", "TimeOut.ogg"}) {
        Decoded d = decode(dataPath(std::string("Sounds/") + cue));
        ASSERT_TRUE(d.ok) << cue;
        EXPECT_LT(d.seconds(), 0.4) << cue << " is played often and must stay short";
    }
    // The brook repeats every 3100 ms and the waterfall every 3000 ms: each must last its period.
    Decoded brook = decode(dataPath("Sounds/brook.ogg"));
    Decoded fall = decode(dataPath("Sounds/waterfall.ogg"));
    ASSERT_TRUE(brook.ok && fall.ok);
    EXPECT_GE(brook.seconds(), 3.1);
    EXPECT_GE(fall.seconds(), 3.0);
    // Birds sing every 6200 ms and must be over before the next call.
    for (int i = 1; i <= 3; ++i) {
        Decoded b = decode(dataPath("Sounds/birds" + std::to_string(i) + ".ogg"));
        ASSERT_TRUE(b.ok);
        EXPECT_LT(b.seconds(), 6.2);
    }
}

TEST(DataSoundCues, BreakStepsRiseInPitchAndTheOpenStepContinuesThem) {
    REQUIRE_DATA_SET("Sounds");
    double previous = 0;
    double eighth = 0;
    for (int i = 1; i <= 8; ++i) {
        Decoded d = decode(dataPath("Sounds/BreakFigure" + std::to_string(i) + ".ogg"));
        ASSERT_TRUE(d.ok);
        double f = dominantFrequency(d, 400, 2200, 0.3);
        EXPECT_GT(semitones(previous > 0 ? previous : f / 2, f), 0.9) << "step " << i << " at " << f << " Hz";
        previous = f;
        eighth = f;
    }
    // Played at 24050 Hz for the ninth break, the open step must sound above the eighth one, and
    // not leap far beyond it.
    Decoded open = decode(dataPath("Sounds/BreakFigure.ogg"));
    ASSERT_TRUE(open.ok);
    double own = dominantFrequency(open, 400, 2200, 0.3);
    double atNinth = own * 24050.0 / open.rate;
    EXPECT_GT(semitones(eighth, atNinth), 0.5);
    EXPECT_LT(semitones(eighth, atNinth), 4.0);
}

namespace {

bool isAmbience(const std::string& cue) {
    return cue.rfind("birds", 0) == 0 || cue == "brook.ogg" || cue == "waterfall.ogg";
}

double rms(const std::vector<float>& v, size_t from, size_t to) {
    double sum = 0;
    to = std::min(to, v.size());
    for (size_t i = from; i < to; ++i) sum += static_cast<double>(v[i]) * v[i];
    return to > from ? std::sqrt(sum / static_cast<double>(to - from)) : 0.0;
}

}  // namespace

TEST(DataSoundCues, EventCuesStartAtOnceAndEveryCueEndsWithoutAClick) {
    REQUIRE_DATA_SET("Sounds");
    std::vector<std::string> all = kRequiredCues;
    all.insert(all.end(), kOptionalCues.begin(), kOptionalCues.end());
    for (const std::string& cue : all) {
        SCOPED_TRACE(cue);
        Decoded d = decode(dataPath("Sounds/" + cue));
        ASSERT_TRUE(d.ok);
        float peak = 0;
        for (float v : d.mono) peak = std::max(peak, std::fabs(v));
        size_t onset = 0;
        while (onset < d.mono.size() && std::fabs(d.mono[onset]) < peak * 0.1f) ++onset;
        // An event cue sounds with its event; ambience and the transition whoosh may swell in.
        double limit = isAmbience(cue) ? 0.35 : cue == "Gag.ogg" ? 0.1 : 0.03;
        EXPECT_LT(static_cast<double>(onset) / d.rate, limit);
        // The last 5 ms are close to silence, so the cue does not stop with a click.
        size_t tail = static_cast<size_t>(d.rate / 200);
        EXPECT_LT(rms(d.mono, d.mono.size() - tail, d.mono.size()), peak * 0.01);
    }
}

TEST(DataSoundCues, BreakStepsShareALevelAndAmbienceStaysBelowTheEvents) {
    REQUIRE_DATA_SET("Sounds");
    std::vector<double> levels;
    for (int i = 1; i <= 8; ++i) {
        Decoded d = decode(dataPath("Sounds/BreakFigure" + std::to_string(i) + ".ogg"));
        ASSERT_TRUE(d.ok);
        levels.push_back(rms(d.mono, 0, static_cast<size_t>(d.rate / 5)));
    }
    Decoded open = decode(dataPath("Sounds/BreakFigure.ogg"));
    ASSERT_TRUE(open.ok);
    levels.push_back(rms(open.mono, 0, static_cast<size_t>(open.rate / 5)));
    auto [lo, hi] = std::minmax_element(levels.begin(), levels.end());
    EXPECT_LT(20.0 * std::log10(*hi / *lo), 6.0) << "a step of the streak jumps in loudness";

    // Ambience plays all the time under the game: its peaks stay below the loud events'.
    float loudestAmbience = 0, loudestEvent = 0;
    for (const std::string& cue : kRequiredCues) {
        Decoded d = decode(dataPath("Sounds/" + cue));
        ASSERT_TRUE(d.ok) << cue;
        float peak = 0;
        for (float v : d.mono) peak = std::max(peak, std::fabs(v));
        (isAmbience(cue) ? loudestAmbience : loudestEvent) = std::max(isAmbience(cue) ? loudestAmbience : loudestEvent, peak);
    }
    EXPECT_LT(loudestAmbience, loudestEvent * 0.6f);
}

namespace {

std::vector<char> readModuleBytes() {
    std::ifstream in(dataPath("music.mo3"), std::ios::binary);
    return std::vector<char>((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

// Where a section ends: the order before the next section, or the last order.
int sectionEnd(int section, int orders) { return section < 6 ? kSectionOrders[section + 1] - 1 : orders - 1; }

}  // namespace

TEST(DataMusic, ModuleOpensWithEverySectionInsideTheOrderList) {
    REQUIRE_DATA_SET("music.mo3");
    std::vector<char> bytes = readModuleBytes();
    EXPECT_LT(bytes.size(), 1024u * 1024u);
    openmpt::module mod(bytes);
    // The name says MO3; the content is a module the player recognises by itself.
    std::string type = mod.get_metadata("type");
    EXPECT_TRUE(type == "xm" || type == "it") << type;
    int orders = mod.get_num_orders();
    EXPECT_GE(orders, 93);
    for (int s = 0; s < 7; ++s) {
        EXPECT_LT(kSectionOrders[s], orders) << "section " << s;
        EXPECT_LE(kSectionOrders[s], sectionEnd(s, orders)) << "section " << s << " is empty";
    }
}

TEST(DataMusic, EverySectionLoopsInsideItself) {
    REQUIRE_DATA_SET("music.mo3");
    std::vector<char> bytes = readModuleBytes();
    openmpt::module mod(bytes);
    mod.set_repeat_count(-1);
    const int rate = 8000;
    std::vector<float> buffer(2 * 4000);
    for (int s = 0; s < 7; ++s) {
        SCOPED_TRACE("section " + std::to_string(s));
        int first = kSectionOrders[s], last = sectionEnd(s, mod.get_num_orders());
        mod.set_position_order_row(first, 0);
        bool reachedLast = false, wrapped = false;
        long previous = 0;
        int cameBackTo = -1;
        // Long enough for the longest section to come round once more (0.5 s blocks).
        for (int block = 0; block < 2 * 600 && !wrapped; ++block) {
            size_t got = mod.read_interleaved_stereo(rate, buffer.size() / 2, buffer.data());
            ASSERT_GT(got, 0u) << "the module stopped";
            int order = mod.get_current_order();
            ASSERT_GE(order, first);
            ASSERT_LE(order, last);
            long position = order * 1000L + mod.get_current_row();
            if (reachedLast && position < previous) {
                wrapped = true;
                cameBackTo = order;
            }
            if (order == last) reachedLast = true;
            previous = position;
        }
        EXPECT_TRUE(reachedLast);
        EXPECT_TRUE(wrapped) << "never came back round";
        // Themes start over from their first order; a jingle plays once and repeats its tail.
        EXPECT_EQ(cameBackTo, s < 5 ? first : last);
    }
}

TEST(DataMusic, SectionsAreAudibleDistinctAndJinglesSettleDown) {
    REQUIRE_DATA_SET("music.mo3");
    std::vector<char> bytes = readModuleBytes();
    openmpt::module mod(bytes);
    mod.set_repeat_count(-1);
    const int rate = 22050;
    std::vector<float> buffer(2 * 2205);
    std::set<double> tempos;
    for (int s = 0; s < 7; ++s) {
        SCOPED_TRACE("section " + std::to_string(s));
        mod.set_position_order_row(kSectionOrders[s], 0);
        double sumFirst = 0, sumLate = 0, peak = 0;
        size_t countFirst = 0, countLate = 0;
        // Twenty seconds in blocks of 0.1 s: the opening eight seconds, then from sixteen on.
        for (int block = 0; block < 200; ++block) {
            size_t got = mod.read_interleaved_stereo(rate, buffer.size() / 2, buffer.data());
            ASSERT_GT(got, 0u);
            if (block == 5) tempos.insert(mod.get_current_tempo());
            for (size_t i = 0; i < got * 2; ++i) {
                double v = buffer[i];
                peak = std::max(peak, std::fabs(v));
                if (block < 80) {
                    sumFirst += v * v;
                    ++countFirst;
                } else if (block >= 160) {
                    sumLate += v * v;
                    ++countLate;
                }
            }
        }
        double rmsFirst = std::sqrt(sumFirst / countFirst), rmsLate = std::sqrt(sumLate / countLate);
        EXPECT_GT(rmsFirst, 0.02) << "nearly silent";
        EXPECT_LT(peak, 0.99) << "clips";
        if (s >= 5) {
            // The jingle is over by then and only its quiet tail repeats.
            EXPECT_LT(rmsLate, rmsFirst * 0.6);
            EXPECT_GT(rmsLate, 0.0005) << "the tail should still sound";
        } else {
            EXPECT_GT(rmsLate, 0.02) << "a theme must keep playing";
        }
    }
    EXPECT_GE(tempos.size(), 5u) << "sections should not all share a tempo";
}

TEST(DataMusic, ThemesHaveNoSilentStretch) {
    REQUIRE_DATA_SET("music.mo3");
    std::vector<char> bytes = readModuleBytes();
    openmpt::module mod(bytes);
    mod.set_repeat_count(-1);
    const int rate = 8000;
    std::vector<float> buffer(2 * rate);
    for (int s = 0; s < 5; ++s) {
        SCOPED_TRACE("section " + std::to_string(s));
        mod.set_position_order_row(kSectionOrders[s], 0);
        // Every second of a full pass through the section has music in it.
        for (int second = 0; second < 220; ++second) {
            size_t got = mod.read_interleaved_stereo(rate, static_cast<size_t>(rate), buffer.data());
            ASSERT_EQ(got, static_cast<size_t>(rate));
            EXPECT_GT(rms(buffer, 0, buffer.size()), 0.01) << "silent at second " << second;
        }
    }
}

TEST(DataMusic, PitchedInstrumentsPlayInTune) {
    REQUIRE_DATA_SET("music.mo3");
    std::vector<char> bytes = readModuleBytes();
    const int rate = 44100;
    int pitched = 0;
    for (int ins = 0;; ++ins) {
        openmpt::module_ext mod(bytes);
        if (ins >= mod.get_num_instruments()) break;
        std::string name = mod.get_instrument_names()[static_cast<size_t>(ins)];
        // The drums are noise and need no pitch.
        bool drum = name.find("kick") != std::string::npos || name.find("snare") != std::string::npos ||
                    name.find("hat") != std::string::npos || name.find("shaker") != std::string::npos;
        if (drum) continue;
        ++pitched;
        SCOPED_TRACE(name);
        auto* interactive = static_cast<openmpt::ext::interactive*>(mod.get_interface(openmpt::ext::interactive_id));
        ASSERT_NE(interactive, nullptr);
        for (int c = 0; c < mod.get_num_channels(); ++c) interactive->set_channel_mute_status(c, true);
        interactive->play_note(ins, 72, 1.0, 0.0);  // the C above middle C
        Decoded d;
        d.rate = rate;
        d.mono.resize(rate / 2);
        mod.read(rate, d.mono.size(), d.mono.data());
        // Past the attack, the strongest frequency between 200 and 1100 Hz is that C.
        d.mono.erase(d.mono.begin(), d.mono.begin() + rate / 10);
        double f = dominantFrequency(d, 200, 1100, 0.4);
        EXPECT_LT(std::fabs(1200.0 * std::log2(f / 523.2511)), 15.0) << f << " Hz";
    }
    EXPECT_GE(pitched, 5);
}
