// Golden pictures: a captured frame compared with a stored PNG under tests/golden/, named by
// scene, level and seed so that a failure says which input broke.
//
//   SANDMERE_UPDATE_GOLDEN=1 build/tests/sandmere_tests --gtest_filter='...'
//
// writes the stored pictures anew instead of comparing (look at each before committing it).
// On a mismatch the frame and a difference picture go to $SANDMERE_CAPTURE_DIR (or the
// system's temporary folder) as <name>.actual.png and <name>.diff.png.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/image.h"
#include "test_support.h"

namespace golden {

inline std::filesystem::path storedPath(const std::string& name) {
    return std::filesystem::path(SANDMERE_SOURCE_DIR) / "tests" / "golden" / (name + ".png");
}

inline bool updating() {
    const char* v = std::getenv("SANDMERE_UPDATE_GOLDEN");
    return v && *v && std::string(v) != "0";
}

inline std::filesystem::path outputDir() {
    const char* dir = std::getenv("SANDMERE_CAPTURE_DIR");
    std::filesystem::path out = dir && *dir ? std::filesystem::path(dir) : std::filesystem::temp_directory_path();
    std::filesystem::create_directories(out);
    return out;
}

inline bool readPng(const std::filesystem::path& path, platform::Picture& out) {
    std::string bytes = testing_support::readFile(path);
    return !bytes.empty() &&
           platform::decodePicture(reinterpret_cast<const uint8_t*>(bytes.data()), static_cast<int32_t>(bytes.size()), out);
}

// The frame matches when no more than maxBadPixels pixels differ by more than tolerance in any
// channel (the rasterizer's rounding moves a few edge pixels by a step or two).
inline ::testing::AssertionResult matches(const platform::Picture& shot, const std::string& name, int tolerance = 6,
                                          int maxBadPixels = 40) {
    if (shot.empty()) return ::testing::AssertionFailure() << name << ": no picture was captured";
    const std::filesystem::path stored = storedPath(name);
    if (updating()) {
        std::filesystem::create_directories(stored.parent_path());
        if (!platform::writePng(stored.string().c_str(), shot.rgba.data(), shot.width, shot.height))
            return ::testing::AssertionFailure() << "could not write " << stored;
        return ::testing::AssertionSuccess() << "wrote " << stored;
    }
    platform::Picture want;
    if (!readPng(stored, want))
        return ::testing::AssertionFailure() << "no stored picture " << stored
                                             << " (run with SANDMERE_UPDATE_GOLDEN=1 to make it)";
    if (want.width != shot.width || want.height != shot.height)
        return ::testing::AssertionFailure() << name << ": size " << shot.width << "x" << shot.height << ", stored "
                                             << want.width << "x" << want.height;
    std::vector<uint8_t> diff(shot.rgba.size(), 0);
    int bad = 0, worst = 0;
    for (size_t i = 0; i < shot.rgba.size(); i += 4) {
        int d = 0;
        for (int c = 0; c < 3; ++c) d = std::max(d, std::abs(int(shot.rgba[i + c]) - int(want.rgba[i + c])));
        worst = std::max(worst, d);
        if (d > tolerance) {
            ++bad;
            diff[i] = 255;
        } else {
            diff[i] = diff[i + 1] = diff[i + 2] = static_cast<uint8_t>(want.rgba[i + 1] / 4);
        }
        diff[i + 3] = 255;
    }
    if (bad <= maxBadPixels) return ::testing::AssertionSuccess();
    const std::filesystem::path dir = outputDir();
    platform::writePng((dir / (name + ".actual.png")).string().c_str(), shot.rgba.data(), shot.width, shot.height);
    platform::writePng((dir / (name + ".diff.png")).string().c_str(), diff.data(), shot.width, shot.height);
    return ::testing::AssertionFailure() << name << ": " << bad << " pixels differ by more than " << tolerance
                                         << " (largest " << worst << "); see " << (dir / (name + ".diff.png"));
}

}  // namespace golden
