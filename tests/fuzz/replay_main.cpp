// Runs a harness over saved inputs (files or folders of files) without the
// fuzzing engine: the corpus replay of the test suite.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

int main(int argc, char** argv) {
    namespace fs = std::filesystem;
    std::vector<fs::path> inputs;
    for (int i = 1; i < argc; i++) {
        if (fs::is_directory(argv[i])) {
            for (auto& entry : fs::directory_iterator(argv[i]))
                if (entry.is_regular_file()) inputs.push_back(fs::absolute(entry.path()));
        } else if (fs::is_regular_file(argv[i])) {
            inputs.push_back(fs::absolute(argv[i]));
        } else {
            fprintf(stderr, "replay: no such input %s\n", argv[i]);
            return 2;
        }
    }
    std::sort(inputs.begin(), inputs.end());
    if (inputs.empty()) {
        fprintf(stderr, "replay: no inputs given\n");
        return 2;
    }
    for (const fs::path& input : inputs) {
        std::ifstream file(input, std::ios::binary);
        std::vector<char> bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
        // An empty vector's data() may be null; the engine never passes null.
        static const uint8_t nothing = 0;
        const uint8_t* data = bytes.empty() ? &nothing : reinterpret_cast<const uint8_t*>(bytes.data());
        fprintf(stderr, "replay: %s\n", input.filename().c_str());
        LLVMFuzzerTestOneInput(data, bytes.size());
    }
    printf("replayed %zu inputs\n", inputs.size());
    return 0;
}
