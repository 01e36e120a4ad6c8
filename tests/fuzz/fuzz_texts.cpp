// The texts reader and the template formatting on arbitrary bytes: the slots
// must hold the file's lines (broken UTF-8 shown as '?'), and every slot must
// format as the small reference below says, with and without a number.
#include <climits>
#include <string>
#include <string_view>

#include "assets/ui_texts.h"
#include "fuzz_support.h"

namespace {

const char* const BEFORE = "(slot before loading)";

bool valid_utf8(std::string_view text) {
    size_t i = 0;
    while (i < text.size()) {
        unsigned char lead = text[i];
        size_t length;
        unsigned code;
        if (lead < 0x80) length = 1, code = lead;
        else if (lead >= 0xC2 && lead <= 0xDF) length = 2, code = lead & 0x1F;
        else if (lead >= 0xE0 && lead <= 0xEF) length = 3, code = lead & 0x0F;
        else if (lead >= 0xF0 && lead <= 0xF4) length = 4, code = lead & 0x07;
        else return false;
        if (i + length > text.size()) return false;
        for (size_t k = 1; k < length; k++) {
            unsigned char next = text[i + k];
            if ((next & 0xC0) != 0x80) return false;
            code = code << 6 | (next & 0x3F);
        }
        if ((length == 3 && code < 0x800) || (length == 4 && (code < 0x10000 || code > 0x10FFFF)) ||
            (code >= 0xD800 && code <= 0xDFFF))
            return false;
        i += length;
    }
    return true;
}

// "%%" is a percent sign, anything else stands as it is.
std::string plain(std::string_view text) {
    std::string out;
    for (size_t i = 0; i < text.size(); i++) {
        out += text[i];
        if (text[i] == '%' && i + 1 < text.size() && text[i + 1] == '%') i++;
    }
    return out;
}

// The number as an integer directive with these flags and width prints it.
std::string padded(int value, std::string_view flags, int width) {
    bool left = flags.find('-') != std::string_view::npos, zeros = flags.find('0') != std::string_view::npos;
    std::string digits = std::to_string(value < 0 ? -static_cast<long long>(value) : static_cast<long long>(value));
    std::string sign = value < 0 ? "-" : flags.find('+') != std::string_view::npos ? "+"
                                       : flags.find(' ') != std::string_view::npos ? " " : "";
    int pad = width - static_cast<int>(sign.size() + digits.size());
    if (pad <= 0) return sign + digits;
    if (left) return sign + digits + std::string(pad, ' ');
    if (zeros) return sign + std::string(pad, '0') + digits;
    return std::string(pad, ' ') + sign + digits;
}

// The first "%[flags][width<=3 digits](d|i)" outside a "%%" takes the number.
std::string reference(std::string_view text, bool takes_number, int value) {
    if (!takes_number) return plain(text);
    for (size_t i = 0; i < text.size(); i++) {
        if (text[i] != '%') continue;
        if (i + 1 < text.size() && text[i + 1] == '%') {
            i++;
            continue;
        }
        size_t at = i + 1;
        while (at < text.size() && std::string_view("-+ #0").find(text[at]) != std::string_view::npos) at++;
        std::string_view flags = text.substr(i + 1, at - i - 1);
        size_t width_start = at;
        while (at < text.size() && text[at] >= '0' && text[at] <= '9') at++;
        size_t width_digits = at - width_start;
        if (width_digits > 3 || at >= text.size() || (text[at] != 'd' && text[at] != 'i')) continue;
        int width = width_digits ? std::stoi(std::string(text.substr(width_start, width_digits))) : 0;
        return plain(text.substr(0, i)) + padded(value, flags, width) + plain(text.substr(at + 1));
    }
    return plain(text);
}

// What the slots must hold after reading these bytes over slots holding BEFORE.
void expect_slots(std::string_view file) {
    size_t at = 0;
    bool failed = false;
    for (int slot = 0; slot < UI_TEXT_FILE_LINES; slot++) {
        const std::string& got = ui_texts.slot[slot];
        if (failed) {
            fuzz::require(got == BEFORE, "a slot after the end of the file changed");
            continue;
        }
        size_t end = file.find('\n', at);
        std::string_view line = file.substr(at, end == std::string_view::npos ? std::string_view::npos : end - at);
        if (end == std::string_view::npos) failed = true;  // the end of the file ends the reading
        at = end == std::string_view::npos ? file.size() : end + 1;
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        fuzz::require(got.size() == line.size(), "a slot is not as long as its line");
        fuzz::require(valid_utf8(got), "a slot is not valid UTF-8");
        for (size_t k = 0; k < line.size(); k++)
            fuzz::require(got[k] == line[k] || got[k] == '?', "a slot differs from its line beyond broken UTF-8");
        if (line == got) continue;
        fuzz::require(!valid_utf8(line), "a valid line was changed");
    }
    for (int slot = UI_TEXT_FILE_LINES; slot < UI_TEXT_SLOTS; slot++)
        fuzz::require(ui_texts.slot[slot].empty(), "a slot after the 50th was filled");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::enter_scratch_folder();
    fuzz::write_file(UI_TEXTS_FILE, data, size);
    for (int slot = 0; slot < UI_TEXT_FILE_LINES; slot++) ui_texts.slot[slot] = BEFORE;

    load_ui_texts();
    expect_slots(std::string_view(reinterpret_cast<const char*>(data), size));

    static const int values[] = {INT_MIN, -42, 0, 7, 1234, INT_MAX};
    for (int slot = 0; slot < UI_TEXT_SLOTS; slot++) {
        const std::string& text = ui_texts.slot[slot];
        fuzz::require(format_template(text, false, 0) == reference(text, false, 0), "a slot formats wrongly without a number");
        for (int value : values)
            fuzz::require(format_template(text, true, value) == reference(text, true, value),
                          "a slot formats wrongly with a number");
    }
    return 0;
}
