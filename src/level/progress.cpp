#include "level/progress.h"

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string_view>

#include <fcntl.h>
#include <unistd.h>

#include "level/board.h"

float step_delay = 0.0f;
int speed_level = 0;
int sound_off = 0;
int unlocked_level = 0;
int solved_count = 0;
int level_count = 0;

// The record length the level count has always been measured with.
constexpr long long LEVEL_COUNT_DIVISOR = 1042;

int level_count_for_size(long long file_size) {
    long long count = file_size / LEVEL_COUNT_DIVISOR + 1;
    return count > 1000000 ? 1000000 : static_cast<int>(count);
}

static long long file_size(const char* path) {
    FILE* file = fopen(path, "rb");
    if (!file) return -1;
    long long size = fseeko(file, 0, SEEK_END) == 0 ? ftello(file) : -1;
    fclose(file);
    return size;
}

std::string shift_progress_bytes(const std::string& text, int direction) {
    std::string out(text.size(), '\0');
    for (size_t i = 0; i < text.size(); i++)
        out[i] = static_cast<char>((static_cast<unsigned char>(text[i]) + direction * static_cast<int>(i % 256)) & 0xFF);
    return out;
}

std::string progress_plain_text() {
    char text[128];
    snprintf(text, sizeof text, "%g %d %d %d %d", static_cast<double>(step_delay), speed_level, sound_off,
             unlocked_level, solved_count);
    return text;
}

static bool is_space(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f'; }
static bool is_digit(char c) { return c >= '0' && c <= '9'; }

// Scans a decimal float the way a stream read would; false when none is there.
static bool scan_float(std::string_view text, size_t& at, double& value) {
    while (at < text.size() && is_space(text[at])) at++;
    size_t end = at;
    if (end < text.size() && (text[end] == '+' || text[end] == '-')) end++;
    const size_t after_sign = end;
    size_t digits = 0;
    while (end < text.size() && is_digit(text[end])) end++, digits++;
    if (end < text.size() && text[end] == '.') {
        end++;
        while (end < text.size() && is_digit(text[end])) end++, digits++;
    }
    if (digits == 0) {
        // "nan" and "inf" are numbers too, just unusable ones: the fields after them still count.
        for (std::string_view word : {"infinity", "inf", "nan"}) {
            std::string_view rest = text.substr(after_sign, word.size());
            bool same = rest.size() == word.size();
            for (size_t k = 0; same && k < word.size(); k++) same = (rest[k] | 0x20) == word[k];
            if (!same) continue;
            value = word == "nan" ? NAN : INFINITY;
            at = after_sign + word.size();
            return true;
        }
        return false;
    }
    if (end < text.size() && (text[end] == 'e' || text[end] == 'E')) {
        size_t exponent = end + 1;
        if (exponent < text.size() && (text[exponent] == '+' || text[exponent] == '-')) exponent++;
        if (exponent < text.size() && is_digit(text[exponent])) {
            end = exponent;
            while (end < text.size() && is_digit(text[end])) end++;
        }
    }
    value = strtod(std::string(text.substr(at, end - at)).c_str(), nullptr);
    at = end;
    return true;
}

static bool scan_int(std::string_view text, size_t& at, int& value) {
    while (at < text.size() && is_space(text[at])) at++;
    size_t end = at;
    bool negative = false;
    if (end < text.size() && (text[end] == '+' || text[end] == '-')) negative = text[end++] == '-';
    long long magnitude = 0;
    size_t digits = 0;
    while (end < text.size() && is_digit(text[end])) {
        magnitude = magnitude * 10 + (text[end++] - '0');
        if (magnitude > 2147483648LL) return false;
        digits++;
    }
    long long signed_value = negative ? -magnitude : magnitude;
    if (digits == 0 || signed_value > 2147483647LL) return false;
    value = static_cast<int>(signed_value);
    at = end;
    return true;
}

void read_progress_text(const std::string& plain) {
    size_t at = 0;
    double delay = 0;
    // An unreadable pause reads as 0, and nothing after it is read.
    if (!scan_float(plain, at, delay)) {
        step_delay = 0.0f;
        return;
    }
    // A damaged pause must not freeze the game or make a move instant by accident.
    step_delay = std::isfinite(delay) && delay >= 0.0 && delay <= MAX_STEP_DELAY ? static_cast<float>(delay)
                                                                                 : DEFAULT_STEP_DELAY;
    int* fields[] = {&speed_level, &sound_off, &unlocked_level, &solved_count};
    for (int* field : fields)
        if (!scan_int(plain, at, *field)) return;
}

void load_progress() {
    level_count = level_count_for_size(file_size(LEVEL_FILE));

    std::ifstream file(PROGRESS_FILE, std::ios::binary);
    if (!file) {
        step_delay = DEFAULT_STEP_DELAY;
        speed_level = 2;
        sound_off = 0;
        unlocked_level = 1;
        solved_count = 1;
        return;
    }
    std::string line;
    std::getline(file, line);
    read_progress_text(shift_progress_bytes(line, -1));
}

void save_progress() {
    std::string stored = shift_progress_bytes(progress_plain_text(), +1);
    std::string temporary = std::string(PROGRESS_FILE) + ".new";
    // Write beside the old file and rename over it, so a failed or interrupted
    // save never leaves a half-written progress file.
    int fd = open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    bool saved = fd >= 0 && write(fd, stored.data(), stored.size()) == static_cast<ssize_t>(stored.size()) &&
                 fsync(fd) == 0;
    if (fd >= 0 && close(fd) != 0) saved = false;
    if (saved) saved = rename(temporary.c_str(), PROGRESS_FILE) == 0;
    if (!saved) {
        fprintf(stderr, "pelmak: cannot save the progress to %s: %s\n", PROGRESS_FILE, strerror(errno));
        unlink(temporary.c_str());
    }
}
