#include "assets/ui_texts.h"

#include <cstdio>
#include <fstream>

UiTextTable ui_texts;

// The drawing library takes the bytes as UTF-8: a broken sequence becomes '?'.
static void repair_utf8(std::string& text) {
    size_t i = 0;
    while (i < text.size()) {
        unsigned char lead = text[i];
        size_t length = lead < 0x80 ? 1 : (lead >> 5) == 0x6 ? 2 : (lead >> 4) == 0xE ? 3 : (lead >> 3) == 0x1E ? 4 : 0;
        bool valid = length > 0 && i + length <= text.size();
        for (size_t k = 1; valid && k < length; k++) valid = (static_cast<unsigned char>(text[i + k]) >> 6) == 0x2;
        if (valid && length > 1) {
            unsigned code = lead & (0x7F >> length);
            for (size_t k = 1; k < length; k++) code = (code << 6) | (text[i + k] & 0x3F);
            static const unsigned smallest[5] = {0, 0, 0x80, 0x800, 0x10000};
            valid = code >= smallest[length] && code <= 0x10FFFF && (code < 0xD800 || code > 0xDFFF);
        }
        if (!valid) {
            text[i] = '?';
            length = 1;
        }
        i += length;
    }
}

void load_ui_texts() {
    std::ifstream file(UI_TEXTS_FILE, std::ios::binary);
    if (!file) return;
    // getline on a failed stream leaves its slot alone, so a short file keeps
    // the texts that were there before for the lines it lacks.
    for (int slot = 0; slot < UI_TEXT_FILE_LINES; slot++) {
        std::string& text = ui_texts.slot[slot];
        if (!std::getline(file, text)) continue;
        if (!text.empty() && text.back() == '\r') text.pop_back();
        repair_utf8(text);
    }
}

// Length of an integer directive at text[start] ('%' included), or 0.
static size_t integer_directive_length(const std::string& text, size_t start) {
    size_t i = start + 1;
    while (i < text.size() && std::string_view("-+ #0").find(text[i]) != std::string_view::npos) i++;
    size_t digits = 0;
    while (i < text.size() && text[i] >= '0' && text[i] <= '9') i++, digits++;
    if (digits > 3 || i >= text.size() || (text[i] != 'd' && text[i] != 'i')) return 0;
    return i + 1 - start;
}

void format_template_into(std::string& out, const std::string& text, bool takes_number, int value) {
    out.clear();
    bool filled = false;
    for (size_t i = 0; i < text.size(); i++) {
        if (text[i] != '%') {
            out += text[i];
            continue;
        }
        if (i + 1 < text.size() && text[i + 1] == '%') {
            out += '%';
            i++;
            continue;
        }
        size_t length = takes_number && !filled ? integer_directive_length(text, i) : 0;
        if (length == 0) {
            out += '%';
            continue;
        }
        // Flags and a width of at most three digits: a bounded, known-safe directive.
        // Each flag is kept once, so a long run of repeated flags cannot be cut short.
        std::string directive = "%";
        size_t k = i + 1;
        for (; std::string_view("-+ #0").find(text[k]) != std::string_view::npos; k++)
            if (directive.find(text[k]) == std::string::npos) directive += text[k];
        directive.append(text, k, i + length - k);
        char number[1024];
        snprintf(number, sizeof number, directive.c_str(), value);
        out += number;
        filled = true;
        i += length - 1;
    }
}

std::string format_template(const std::string& text, bool takes_number, int value) {
    std::string out;
    format_template_into(out, text, takes_number, value);
    return out;
}

std::string format_slot(int slot) {
    return format_template(ui_texts.slot[slot], false, 0);
}

std::string format_slot(int slot, int value) {
    return format_template(ui_texts.slot[slot], true, value);
}

// Slots are drawn every frame: one reused buffer, no allocation once it has grown.
static std::string drawn_text;

void draw_slot(const ALLEGRO_FONT* font, ALLEGRO_COLOR colour, float x, float y, int flags, int slot) {
    format_template_into(drawn_text, ui_texts.slot[slot], false, 0);
    al_draw_text(font, colour, x, y, flags, drawn_text.c_str());
}

void draw_slot(const ALLEGRO_FONT* font, ALLEGRO_COLOR colour, float x, float y, int flags, int slot, int value) {
    format_template_into(drawn_text, ui_texts.slot[slot], true, value);
    al_draw_text(font, colour, x, y, flags, drawn_text.c_str());
}

int slot_width(const ALLEGRO_FONT* font, int slot) {
    format_template_into(drawn_text, ui_texts.slot[slot], false, 0);
    return al_get_text_width(font, drawn_text.c_str());
}

void draw_number(const ALLEGRO_FONT* font, ALLEGRO_COLOR colour, float x, float y, int flags, const char* format,
                 int value) {
    char text[32];
    snprintf(text, sizeof text, format, value);
    al_draw_text(font, colour, x, y, flags, text);
}
