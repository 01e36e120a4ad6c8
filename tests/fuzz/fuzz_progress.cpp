// The progress reader on arbitrary stored bytes: the file path through
// load_progress, the same bytes unshifted in memory, and a save/load round trip.
#include <cmath>
#include <cstring>
#include <string>

#include "fuzz_support.h"
#include "level/progress.h"

namespace {

struct Values {
    float delay;
    int speed, sound, unlocked, solved;
    bool operator==(const Values&) const = default;
};

// The pause is saved with six significant digits, so it comes back that close.
bool same_after_save(const Values& a, const Values& b) {
    return a.speed == b.speed && a.sound == b.sound && a.unlocked == b.unlocked && a.solved == b.solved &&
           std::fabs(a.delay - b.delay) <= 1e-5f * std::fabs(a.delay) + 1e-12f;
}

Values current() { return {step_delay, speed_level, sound_off, unlocked_level, solved_count}; }

void set(const Values& v) {
    step_delay = v.delay, speed_level = v.speed, sound_off = v.sound, unlocked_level = v.unlocked, solved_count = v.solved;
}

const Values BEFORE = {0.001f, -7, 77, 777, -7777};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::enter_scratch_folder();
    fuzz::write_file("media/dane.txt", data, size);

    set(BEFORE);
    load_progress();
    Values from_file = current();
    fuzz::require(std::isfinite(step_delay) && step_delay >= 0.0f && step_delay <= MAX_STEP_DELAY,
                  "the pause read is not a usable pause");
    fuzz::require(level_count == 1, "no level file must give level_count 1");

    // The file holds one line; the same line unshifted in memory reads the same.
    std::string stored(reinterpret_cast<const char*>(data), size);
    stored = stored.substr(0, stored.find('\n'));
    std::string plain = shift_progress_bytes(stored, -1);
    fuzz::require(shift_progress_bytes(plain, +1) == stored, "the shift does not undo");
    set(BEFORE);
    read_progress_text(plain);
    fuzz::require(current() == from_file, "file and memory readings differ");

    // Whatever was read survives a save and a load unchanged.
    set(from_file);
    save_progress();
    fuzz::require(access("media/dane.txt.new", F_OK) != 0, "the save left its temporary file");
    fuzz::require(access("xh.txt", F_OK) != 0, "a transfer file was left behind");
    set(BEFORE);
    load_progress();
    fuzz::require(same_after_save(current(), from_file), "a save and a load changed the values");
    return 0;
}
