// Shared by the fuzz harnesses: a private scratch folder as the working
// folder, so the readers find their files at the paths the game uses.
#pragma once

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include <unistd.h>

namespace fuzz {

inline std::string& scratch_folder() {
    static std::string folder;
    return folder;
}

inline void remove_scratch_folder() {
    std::error_code ignored;
    std::filesystem::remove_all(scratch_folder(), ignored);
}

// Made once per process: /dev/shm when there is one, since every input is written out.
inline void enter_scratch_folder() {
    if (!scratch_folder().empty()) return;
    const char* base = std::filesystem::is_directory("/dev/shm") && access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp";
    std::string pattern = std::string(base) + "/pelmak-fuzz-XXXXXX";
    if (!mkdtemp(pattern.data())) {
        perror("mkdtemp");
        abort();
    }
    scratch_folder() = pattern;
    std::filesystem::current_path(pattern);
    std::filesystem::create_directory("media");
    atexit(remove_scratch_folder);
}

inline void write_file(const char* path, const uint8_t* data, size_t size) {
    FILE* file = fopen(path, "wb");
    if (!file || (size && fwrite(data, 1, size, file) != size) || fclose(file) != 0) {
        perror(path);
        abort();
    }
}

// A broken promise of the reader: say which, then crash so the fuzzer keeps the input.
inline void require(bool holds, const char* what) {
    if (holds) return;
    fprintf(stderr, "fuzz check failed: %s\n", what);
    abort();
}

}  // namespace fuzz
