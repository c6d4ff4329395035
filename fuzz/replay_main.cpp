// Runs a fuzz target's inputs once each without libFuzzer, so that any compiler can replay
// the seed corpus and the kept crash inputs. Arguments: files, or folders of files.
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);
extern "C" __attribute__((weak)) int LLVMFuzzerInitialize(int* argc, char*** argv);

namespace {
void Replay(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    const std::vector<char> bytes{std::istreambuf_iterator<char>(in), {}};
    // As UTF-8 bytes: on Windows the path is held as UTF-16.
    std::fprintf(stderr, "replaying %s\n", reinterpret_cast<const char*>(file.u8string().c_str()));
    LLVMFuzzerTestOneInput(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
}
} // namespace

int main(int argc, char** argv) {
    if (LLVMFuzzerInitialize) LLVMFuzzerInitialize(&argc, &argv);
    int count = 0;
    for (int i = 1; i < argc; ++i) {
        const std::filesystem::path path = argv[i];
        if (!std::filesystem::exists(path)) {
            std::fprintf(stderr, "no such input: %s\n", argv[i]);
            return 1;
        }
        std::set<std::filesystem::path> files; // sorted, so that a run is repeatable
        if (std::filesystem::is_directory(path)) {
            for (const auto& entry : std::filesystem::directory_iterator(path))
                if (entry.is_regular_file()) files.insert(entry.path());
        } else {
            files.insert(path);
        }
        for (const auto& file : files) {
            Replay(file);
            ++count;
        }
    }
    std::fprintf(stderr, "%d inputs replayed\n", count);
    return 0;
}
