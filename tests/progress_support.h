// Shared helpers for the tests of the players' files: a sandbox data folder and hex fixtures.
#pragma once

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "app/application.h"
#include "platform/files.h"
#include "progress/profiles.h"
#include "progress/records.h"
#include "progress/settings_folder.h"
#include "progress/trophy_state.h"
#include "test_support.h"

namespace progress_testing {

// A temporary install with an empty Data/ folder; the settings folder is Data/settings.
struct Sandbox {
    testing_support::TempDir dir;
    testing_support::FatalGuard guard;
    std::filesystem::path data;
    std::filesystem::path folder;
    std::string savedDataFolder;

    Sandbox() {
        data = dir / "Data";
        std::filesystem::create_directories(data);
        folder = data / "settings";
        savedDataFolder = application().dataFolder;
        application().dataFolder = data.string() + "/";
        resetProgressState();
        resetRecordState();
        clearTrophyState();
        setSettingsFolder("");
        platform::failWriteStep(platform::WriteStep::None, 0);
    }
    ~Sandbox() {
        platform::failWriteStep(platform::WriteStep::None, 0);
        setSettingsFolder("");
        resetProgressState();
        resetRecordState();
        clearTrophyState();
        application().dataFolder = savedDataFolder;
    }
    std::filesystem::path file(const std::string& name) const { return folder / name; }
    std::string read(const std::string& name) const { return testing_support::readFile(folder / name); }
    void write(const std::string& name, const std::string& bytes) const { testing_support::writeFile(folder / name, bytes); }
    bool exists(const std::string& name) const { return std::filesystem::exists(folder / name); }
    // Start-up as the game runs it: settings, then profiles and the record tables.
    void start() const {
        loadSettings();
        loadProfiles();
        loadRecordTables();
    }
};

inline std::string bytesOf(const std::vector<uint8_t>& v) { return std::string(v.begin(), v.end()); }

// Hex fixtures: pairs of hex digits; "#" starts a comment; "@1f40" moves to a hex offset;
// "=37152" gives the total size (bytes not written are zero).
inline std::vector<uint8_t> loadHexFixture(const std::string& name) {
    std::ifstream in(std::string(SANDMERE_SOURCE_DIR) + "/tests/fixtures/" + name);
    std::vector<uint8_t> out;
    size_t pos = 0;
    std::string line;
    while (std::getline(in, line)) {
        size_t hash = line.find('#');
        if (hash != std::string::npos) line.resize(hash);
        std::istringstream words(line);
        std::string w;
        while (words >> w) {
            if (w[0] == '@') {
                pos = std::stoul(w.substr(1), nullptr, 16);
                continue;
            }
            if (w[0] == '=') {
                out.resize(std::stoul(w.substr(1)), 0);
                continue;
            }
            for (size_t i = 0; i + 1 < w.size(); i += 2) {
                if (pos >= out.size()) out.resize(pos + 1, 0);
                out[pos++] = static_cast<uint8_t>(std::stoul(w.substr(i, 2), nullptr, 16));
            }
        }
    }
    return out;
}

inline std::vector<uint8_t> bytesFromString(const std::string& s) { return std::vector<uint8_t>(s.begin(), s.end()); }

}  // namespace progress_testing
