#include "app/replay.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <unistd.h>

#include "app/loader.h"
#include "board/board.h"
#include "platform/files.h"
#include "progress/settings_folder.h"

#ifndef SANDMERE_VERSION
#define SANDMERE_VERSION "0"
#endif

namespace {

constexpr char kMagic[4] = {'S', 'M', 'R', 'P'};

// ---- Reading ----

struct Reader {
    const uint8_t* data;
    size_t size;
    size_t at = 0;
    std::string* error;

    bool fail(const char* what) {
        char text[160];
        std::snprintf(text, sizeof text, "%s at byte %zu", what, at);
        *error = text;
        return false;
    }
    bool byte(uint8_t& out) {
        if (at >= size) return fail("the file ends too early");
        out = data[at++];
        return true;
    }
    bool fixed(uint64_t& out, int bytes) {
        if (size - at < static_cast<size_t>(bytes) || at > size) return fail("the file ends too early");
        out = 0;
        for (int i = 0; i < bytes; ++i) out |= static_cast<uint64_t>(data[at + i]) << (8 * i);
        at += static_cast<size_t>(bytes);
        return true;
    }
    bool u32(uint32_t& out) {
        uint64_t v;
        if (!fixed(v, 4)) return false;
        out = static_cast<uint32_t>(v);
        return true;
    }
    bool varint(uint32_t& out) {
        out = 0;
        for (int shift = 0; shift < 35; shift += 7) {
            uint8_t b;
            if (!byte(b)) return false;
            if (shift == 28 && (b & 0x70)) return fail("a number is too large");
            out |= static_cast<uint32_t>(b & 0x7F) << shift;
            if (!(b & 0x80)) {
                if (b == 0 && shift > 0) return fail("a number written longer than it is");
                return true;
            }
        }
        return fail("a number is too long");
    }
    bool signedVarint(int32_t& out) {
        uint32_t z;
        if (!varint(z)) return false;
        out = static_cast<int32_t>((z >> 1) ^ (~(z & 1) + 1));
        return true;
    }
    bool text(std::string& out, bool fileName) {
        uint8_t length;
        if (!byte(length)) return false;
        if (length == 0 || length > kReplayNameLength) return fail("a name has a wrong length");
        if (size - at < length) return fail("the file ends too early");
        out.assign(reinterpret_cast<const char*>(data + at), length);
        at += length;
        for (char c : out) {
            bool plain = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_' ||
                         c == '-' || c == '.';
            if (!plain) return fail("a name holds a character it may not");
        }
        if (fileName && out[0] == '.') return fail("a player file's name starts with a dot");
        return true;
    }
};

bool readEvent(Reader& r, platform::Event& e) {
    uint8_t type;
    if (!r.byte(type)) return false;
    if (type == 0 || type > static_cast<uint8_t>(platform::EventType::MouseMove)) return r.fail("an unknown event");
    e = platform::Event{};
    e.type = static_cast<platform::EventType>(type);
    if (e.type == platform::EventType::KeyDown) {
        uint32_t key;
        if (!r.varint(key)) return false;
        if (key > 255) return r.fail("a key code out of range");
        e.key = static_cast<int>(key);
    } else if (e.type == platform::EventType::MouseMove) {
        int32_t x, y;
        if (!r.signedVarint(x) || !r.signedVarint(y)) return false;
        if (x < -32768 || x > 32767 || y < -32768 || y > 32767) return r.fail("a mouse move out of range");
        e.x = x;
        e.y = y;
    } else if (e.type == platform::EventType::Resize) {
        uint32_t w, h;
        if (!r.varint(w) || !r.varint(h)) return false;
        if (w == 0 || h == 0 || w > 65535 || h > 65535) return r.fail("a window size out of range");
        e.x = static_cast<int>(w);
        e.y = static_cast<int>(h);
    }
    return true;
}

// ---- Writing ----

void putByte(std::vector<uint8_t>& out, uint8_t b) { out.push_back(b); }
void putFixed(std::vector<uint8_t>& out, uint64_t v, int bytes) {
    for (int i = 0; i < bytes; ++i) out.push_back(static_cast<uint8_t>(v >> (8 * i)));
}
void putVarint(std::vector<uint8_t>& out, uint32_t v) {
    while (v >= 0x80) {
        out.push_back(static_cast<uint8_t>(v | 0x80));
        v >>= 7;
    }
    out.push_back(static_cast<uint8_t>(v));
}
void putSigned(std::vector<uint8_t>& out, int32_t v) {
    putVarint(out, (static_cast<uint32_t>(v) << 1) ^ static_cast<uint32_t>(v >> 31));
}
void putText(std::vector<uint8_t>& out, const std::string& s) {
    putByte(out, static_cast<uint8_t>(s.size()));
    out.insert(out.end(), s.begin(), s.end());
}
uint32_t floatBits(float f) {
    uint32_t bits;
    std::memcpy(&bits, &f, sizeof bits);
    return bits;
}

void encodeHeader(const Replay& replay, std::vector<uint8_t>& out) {
    out.insert(out.end(), kMagic, kMagic + 4);
    putByte(out, kReplayFormat);
    putText(out, replay.version);
    putFixed(out, replay.dataSetBytes, 4);
    putFixed(out, replay.levelHash, 8);
    putFixed(out, replay.files.size(), 2);
    for (const ReplayStartFile& f : replay.files) {
        putText(out, f.name);
        putFixed(out, f.bytes.size(), 4);
        out.insert(out.end(), f.bytes.begin(), f.bytes.end());
    }
}

void encodeRecord(const ReplayRecord& r, std::vector<uint8_t>& out) {
    putByte(out, static_cast<uint8_t>(r.kind));
    switch (r.kind) {
        case ReplayRecordKind::Frames:
            putVarint(out, r.deltaMs);
            putVarint(out, r.count);
            break;
        case ReplayRecordKind::Seed: putFixed(out, r.seed, 4); break;
        case ReplayRecordKind::Cursor:
            putFixed(out, floatBits(r.x), 4);
            putFixed(out, floatBits(r.y), 4);
            putByte(out, r.inside ? 1 : 0);
            break;
        case ReplayRecordKind::Event:
            putByte(out, static_cast<uint8_t>(r.event.type));
            if (r.event.type == platform::EventType::KeyDown) putVarint(out, static_cast<uint32_t>(r.event.key));
            if (r.event.type == platform::EventType::MouseMove) {
                putSigned(out, r.event.x);
                putSigned(out, r.event.y);
            }
            if (r.event.type == platform::EventType::Resize) {
                putVarint(out, static_cast<uint32_t>(r.event.x));
                putVarint(out, static_cast<uint32_t>(r.event.y));
            }
            break;
        case ReplayRecordKind::End: putFixed(out, r.digest, 8); break;
    }
}

// ---- The session ----

struct ReplayState {
    ReplayMode mode = ReplayMode::Off;
    // Recording
    FILE* file = nullptr;
    std::string path;
    bool headerWritten = false;
    uint32_t runDelta = 0;
    uint32_t runCount = 0;
    bool cursorKnown = false;
    float cursorX = 0.0f, cursorY = 0.0f;
    bool cursorInside = false;
    // Playback
    Replay replay;
    size_t position = 0;
    uint32_t usedOfRun = 0;
    bool paced = false;
    std::string folder;
};
ReplayState gReplay;

void writeRecord(const ReplayRecord& r) {
    if (!gReplay.file) return;
    std::vector<uint8_t> bytes;
    encodeRecord(r, bytes);
    std::fwrite(bytes.data(), 1, bytes.size(), gReplay.file);
}

void flushFrames() {
    if (gReplay.runCount == 0) return;
    ReplayRecord r;
    r.kind = ReplayRecordKind::Frames;
    r.deltaMs = gReplay.runDelta;
    r.count = gReplay.runCount;
    writeRecord(r);
    gReplay.runCount = 0;
}

// Every record but a run of frames goes to the disk at once, so that a session that is killed
// keeps what it played.
void writeNow(const ReplayRecord& r) {
    flushFrames();
    writeRecord(r);
    if (gReplay.file) std::fflush(gReplay.file);
}

void sampleCursor() {
    float x = 0.0f, y = 0.0f;
    bool inside = platform::cursorPosition(x, y);
    if (gReplay.cursorKnown && floatBits(x) == floatBits(gReplay.cursorX) && floatBits(y) == floatBits(gReplay.cursorY) &&
        inside == gReplay.cursorInside)
        return;
    gReplay.cursorKnown = true;
    gReplay.cursorX = x;
    gReplay.cursorY = y;
    gReplay.cursorInside = inside;
    ReplayRecord r;
    r.kind = ReplayRecordKind::Cursor;
    r.x = x;
    r.y = y;
    r.inside = inside;
    writeNow(r);
}

void removePlaybackFolder() {
    if (gReplay.folder.empty()) return;
    for (const std::string& name : platform::listFiles(gReplay.folder.c_str(), nullptr))
        platform::removeFile((gReplay.folder + "/" + name).c_str());
    rmdir(gReplay.folder.c_str());
    gReplay.folder.clear();
}

void hashFolderFiles(uint64_t& h, const std::string& folder) {
    for (const std::string& name : platform::listFiles(folder.c_str(), nullptr)) {
        std::vector<uint8_t> bytes;
        if (!platform::readWholeFile((folder + "/" + name).c_str(), bytes)) continue;
        uint64_t size = bytes.size();
        h = hashBytes(h, name.data(), name.size() + 1);
        h = hashBytes(h, &size, sizeof size);
        h = hashBytes(h, bytes.data(), bytes.size());
    }
}

}  // namespace

bool parseReplay(const uint8_t* data, size_t size, Replay& out, std::string& error) {
    out = Replay{};
    static const uint8_t kEmpty = 0;
    Reader r{data ? data : &kEmpty, data ? size : 0, 0, &error};
    if (r.size < 5 || std::memcmp(r.data, kMagic, 4) != 0) return r.fail("this is not a Sandmere replay");
    r.at = 4;
    uint8_t format;
    if (!r.byte(format)) return false;
    if (format != kReplayFormat) return r.fail("a replay of another format version");
    if (!r.text(out.version, false) || !r.u32(out.dataSetBytes)) return false;
    if (!r.fixed(out.levelHash, 8)) return false;
    uint64_t fileCount;
    if (!r.fixed(fileCount, 2)) return false;
    if (fileCount > kReplayStartFiles) return r.fail("too many player files");
    for (uint64_t i = 0; i < fileCount; ++i) {
        ReplayStartFile f;
        uint32_t length;
        if (!r.text(f.name, true) || !r.u32(length)) return false;
        if (length > kReplayFileBytes) return r.fail("a player file is too large");
        if (r.size - r.at < length) return r.fail("the file ends too early");
        for (const ReplayStartFile& other : out.files)
            if (other.name == f.name) return r.fail("a player file comes twice");
        f.bytes.assign(r.data + r.at, r.data + r.at + length);
        r.at += length;
        out.files.push_back(std::move(f));
    }
    while (r.at < r.size) {
        if (out.hasEnd) return r.fail("records after the end");
        uint8_t tag;
        r.byte(tag);
        ReplayRecord rec;
        rec.kind = static_cast<ReplayRecordKind>(tag);
        switch (rec.kind) {
            case ReplayRecordKind::Frames:
                if (!r.varint(rec.deltaMs) || !r.varint(rec.count)) return false;
                if (rec.count == 0) return r.fail("a run of no frames");
                out.frameCount += rec.count;
                break;
            case ReplayRecordKind::Seed:
                if (!r.u32(rec.seed)) return false;
                break;
            case ReplayRecordKind::Cursor: {
                uint32_t x, y;
                uint8_t inside;
                if (!r.u32(x) || !r.u32(y) || !r.byte(inside)) return false;
                std::memcpy(&rec.x, &x, 4);
                std::memcpy(&rec.y, &y, 4);
                if (!std::isfinite(rec.x) || !std::isfinite(rec.y) || std::fabs(rec.x) > 1e6f || std::fabs(rec.y) > 1e6f ||
                    inside > 1)
                    return r.fail("a cursor position out of range");
                rec.inside = inside != 0;
                break;
            }
            case ReplayRecordKind::Event:
                if (!readEvent(r, rec.event)) return false;
                break;
            case ReplayRecordKind::End:
                if (!r.fixed(rec.digest, 8)) return false;
                out.hasEnd = true;
                out.endDigest = rec.digest;
                break;
            default: r.at -= 1; return r.fail("an unknown record");
        }
        out.records.push_back(rec);
    }
    return true;
}

void encodeReplay(const Replay& replay, std::vector<uint8_t>& out) {
    out.clear();
    encodeHeader(replay, out);
    for (const ReplayRecord& r : replay.records) encodeRecord(r, out);
}

const char* programVersion() { return SANDMERE_VERSION; }

uint64_t hashBytes(uint64_t hash, const void* bytes, size_t length) {
    const uint8_t* p = static_cast<const uint8_t*>(bytes);
    for (size_t i = 0; i < length; ++i) {
        hash ^= p[i];
        hash *= 1099511628211ull;
    }
    return hash;
}

uint64_t levelFilesHash(const std::string& dataFolder) {
    uint64_t h = kHashStart;
    std::string levels = platform::resolvePath((dataFolder + "levels").c_str());
    hashFolderFiles(h, levels);
    return h;
}

uint64_t endDigest() {
    uint64_t h = kHashStart;
    const Board& b = board();
    auto mix = [&](int32_t v) { h = hashBytes(h, &v, sizeof v); };
    for (int r = 0; r < kRows; ++r)
        for (int c = 0; c < kColumns; ++c) {
            const Cell& cell = b.cells[r][c];
            mix(cell.squares);
            mix(cell.chained);
            mix(cell.figure);
            mix(cell.bonus);
        }
    mix(b.levelIndex);
    mix(b.levelScore);
    mix(b.carriedScore);
    mix(b.movesUsed);
    mix(b.levelComplete);
    mix(b.levelLost);
    hashFolderFiles(h, findSettingsFolder());
    return h;
}

std::string digestText(uint64_t digest) {
    char text[17];
    std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(digest));
    return text;
}

bool startRecording(const std::string& path, std::string& error) {
    resetReplay();
    gReplay.file = std::fopen(path.c_str(), "wb");
    if (!gReplay.file) {
        error = "cannot write the recording " + path;
        return false;
    }
    gReplay.path = path;
    gReplay.mode = ReplayMode::Recording;
    return true;
}

void startPlayback(Replay replay, bool pacedInWindow) {
    resetReplay();
    gReplay.replay = std::move(replay);
    gReplay.mode = ReplayMode::Playing;
    gReplay.paced = pacedInWindow;
}

ReplayMode replayMode() { return gReplay.mode; }

bool replayStartUp(const std::string& dataFolder, std::string& error) {
    if (gReplay.mode == ReplayMode::Recording) {
        Replay header;
        header.version = programVersion();
        header.dataSetBytes = kDataSetBytes;
        header.levelHash = levelFilesHash(dataFolder);
        const std::string folder = findSettingsFolder();
        for (const std::string& name : platform::listFiles(folder.c_str(), nullptr)) {
            ReplayStartFile f;
            f.name = name;
            if (!platform::readWholeFile((folder + "/" + name).c_str(), f.bytes)) continue;
            if (header.files.size() >= kReplayStartFiles || f.bytes.size() > kReplayFileBytes || name.size() > kReplayNameLength) {
                error = "the players' files are too many or too large to record: " + name;
                return false;
            }
            header.files.push_back(std::move(f));
        }
        std::vector<uint8_t> bytes;
        encodeHeader(header, bytes);
        if (std::fwrite(bytes.data(), 1, bytes.size(), gReplay.file) != bytes.size() || std::fflush(gReplay.file) != 0) {
            error = "cannot write the recording " + gReplay.path;
            return false;
        }
        gReplay.headerWritten = true;
        return true;
    }
    if (gReplay.mode != ReplayMode::Playing) return true;
    const Replay& replay = gReplay.replay;
    if (replay.version != programVersion()) {
        error = "the replay was recorded by Sandmere " + replay.version + ", this is Sandmere " + programVersion();
        return false;
    }
    uint64_t levels = levelFilesHash(dataFolder);
    if (replay.levelHash != levels) {
        error = "the replay was recorded with other level files (level hash " + digestText(replay.levelHash) +
                ", this data set has " + digestText(levels) + ")";
        return false;
    }
    if (replay.dataSetBytes != kDataSetBytes)
        std::fprintf(stderr, "Sandmere: note: the replay's data set counted %u bytes, this one %u; the level files are the same\n",
                     replay.dataSetBytes, kDataSetBytes);
    const char* tmp = std::getenv("TMPDIR");
    std::string pattern = std::string(tmp && tmp[0] == '/' ? tmp : "/tmp") + "/sandmere-replay-XXXXXX";
    std::vector<char> buffer(pattern.begin(), pattern.end());
    buffer.push_back('\0');
    if (!mkdtemp(buffer.data())) {
        error = "cannot make a folder for the replay's player files";
        return false;
    }
    gReplay.folder = buffer.data();
    for (const ReplayStartFile& f : replay.files) {
        std::string path = gReplay.folder + "/" + f.name;
        if (!platform::writeFileAtomic(path.c_str(), f.bytes.data(), f.bytes.size())) {
            error = "cannot write the replay's player file " + f.name;
            return false;
        }
    }
    forceSettingsFolder(gReplay.folder);
    return true;
}

void recordEvent(const platform::Event& event) {
    if (gReplay.mode != ReplayMode::Recording) return;
    sampleCursor();
    ReplayRecord r;
    r.kind = ReplayRecordKind::Event;
    r.event = event;
    if (r.event.type == platform::EventType::KeyDown) r.event.key &= 0xFF;
    writeNow(r);
}

void recordFrameStart() {
    if (gReplay.mode == ReplayMode::Recording) sampleCursor();
}

uint32_t frameDelta(uint32_t measured) {
    if (gReplay.mode == ReplayMode::Recording) {
        if (gReplay.runCount > 0 && gReplay.runDelta != measured) flushFrames();
        gReplay.runDelta = measured;
        gReplay.runCount += 1;
        return measured;
    }
    if (gReplay.mode != ReplayMode::Playing) return measured;
    std::vector<ReplayRecord>& records = gReplay.replay.records;
    if (gReplay.position >= records.size() || records[gReplay.position].kind != ReplayRecordKind::Frames) return measured;
    const ReplayRecord& run = records[gReplay.position];
    uint32_t delta = run.deltaMs;
    if (++gReplay.usedOfRun >= run.count) {
        gReplay.usedOfRun = 0;
        gReplay.position += 1;
    }
    return delta;
}

uint32_t nextFrameDelta() {
    const std::vector<ReplayRecord>& records = gReplay.replay.records;
    for (size_t i = gReplay.position; i < records.size(); ++i)
        if (records[i].kind == ReplayRecordKind::Frames) return records[i].deltaMs;
    return 16;
}

uint32_t sessionSeed(uint32_t fromClock) {
    if (gReplay.mode == ReplayMode::Recording) {
        ReplayRecord r;
        r.kind = ReplayRecordKind::Seed;
        r.seed = fromClock;
        writeNow(r);
    }
    if (gReplay.mode == ReplayMode::Playing)
        for (const ReplayRecord& r : gReplay.replay.records)
            if (r.kind == ReplayRecordKind::Seed) return r.seed;
    return fromClock;
}

bool nextPlaybackEvent(platform::Event& out) {
    if (gReplay.mode != ReplayMode::Playing) return false;
    const std::vector<ReplayRecord>& records = gReplay.replay.records;
    while (gReplay.position < records.size()) {
        const ReplayRecord& r = records[gReplay.position];
        switch (r.kind) {
            case ReplayRecordKind::Cursor: platform::placeCursor(r.x, r.y, r.inside); break;
            case ReplayRecordKind::Event:
                gReplay.position += 1;
                out = r.event;
                return true;
            case ReplayRecordKind::Frames: return false;
            case ReplayRecordKind::Seed:
            case ReplayRecordKind::End: break;
        }
        gReplay.position += 1;
    }
    return false;
}

bool playbackFinished() { return gReplay.mode == ReplayMode::Playing && gReplay.position >= gReplay.replay.records.size(); }

bool playbackPaced() { return gReplay.mode == ReplayMode::Playing && gReplay.paced; }

bool playbackHasEnd(uint64_t& digest) {
    digest = gReplay.replay.endDigest;
    return gReplay.replay.hasEnd;
}

uint64_t finishReplay() {
    uint64_t digest = endDigest();
    if (gReplay.mode == ReplayMode::Recording && gReplay.file && gReplay.headerWritten) {
        ReplayRecord r;
        r.kind = ReplayRecordKind::End;
        r.digest = digest;
        writeNow(r);
        std::fclose(gReplay.file);
        gReplay.file = nullptr;
    }
    return digest;
}

const std::string& playbackFolder() { return gReplay.folder; }

void resetReplay() {
    if (gReplay.file) {
        flushFrames();
        std::fclose(gReplay.file);
    }
    if (!gReplay.folder.empty()) {
        removePlaybackFolder();
        forceSettingsFolder("");
    }
    platform::releaseCursor();
    gReplay = ReplayState{};
}
