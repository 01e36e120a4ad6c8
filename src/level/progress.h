// The progress that survives from one run to the next: "media/dane.txt".
#pragma once

#include <string>

constexpr const char* PROGRESS_FILE = "media/dane.txt";
constexpr float DEFAULT_STEP_DELAY = 0.002f;
constexpr float MAX_STEP_DELAY = 0.003f;

extern float step_delay;     // seconds of rest after every play frame
extern int speed_level;      // 1..4
extern int sound_off;        // 1 silences the cues
extern int unlocked_level;   // highest level open for play
extern int solved_count;
extern int level_count;      // one more than the number of levels in the level file

void load_progress();
// Replaces the file atomically; a failed save leaves the old file whole.
void save_progress();

// The plain text of the five values, and the shift that stores it.
std::string progress_plain_text();
std::string shift_progress_bytes(const std::string& text, int direction);
// Reads the values from plain text as far as they parse; returns false when
// the text was unusable from the start.
void read_progress_text(const std::string& plain);
int level_count_for_size(long long file_size);
