// Replays a fuzz target's corpus as an ordinary test: every file given on the command line,
// and every file under every directory given (in name order), goes through the target once.

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size);

static void runFile(const std::filesystem::path &path)
{
    std::ifstream in(path, std::ios::binary);
    std::vector<char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    LLVMFuzzerTestOneInput(reinterpret_cast<const uint8_t *>(bytes.data()), bytes.size());
}

int main(int argc, char **argv)
{
    int files = 0;
    for (int i = 1; i < argc; ++i) {
        const std::filesystem::path arg(argv[i]);
        std::vector<std::filesystem::path> inputs;
        if (std::filesystem::is_directory(arg)) {
            for (const auto &entry : std::filesystem::recursive_directory_iterator(arg))
                if (entry.is_regular_file())
                    inputs.push_back(entry.path());
            // A target may keep state from one input to the next; the directory's own order
            // differs between file systems, and a finding must come back the same way.
            std::sort(inputs.begin(), inputs.end());
        } else {
            inputs.push_back(arg);
        }
        for (const auto &input : inputs) {
            // Named before it runs, so that a sanitizer report says which input it was.
            std::printf("%s\n", input.string().c_str());
            std::fflush(stdout);
            runFile(input);
            ++files;
        }
    }
    std::printf("replayed %d inputs\n", files);
    return files > 0 ? 0 : 1;
}
