// Replays a fuzz target's corpus: every file in the folder given on the command line is fed
// to LLVMFuzzerTestOneInput once. A crash or sanitizer report fails the test.
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s corpus-folder\n", argv[0]);
        return 2;
    }
    std::error_code ec;
    int count = 0;
    for (const auto& entry : std::filesystem::directory_iterator(argv[1], ec)) {
        if (!entry.is_regular_file()) continue;
        std::ifstream in(entry.path(), std::ios::binary);
        std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        LLVMFuzzerTestOneInput(bytes.data(), bytes.size());
        ++count;
    }
    // An empty input is always part of the run.
    LLVMFuzzerTestOneInput(nullptr, 0);
    std::printf("replayed %d corpus files\n", count);
    return 0;
}
