// UiTextTable: every word of the interface, one slot per line of the texts file.
#pragma once

#include <string>

#include <allegro5/allegro_font.h>

constexpr int UI_TEXT_SLOTS = 55;
constexpr int UI_TEXT_FILE_LINES = 50;
constexpr const char* UI_TEXTS_FILE = "media/tekstyOrvo.txt";

struct UiTextTable {
    std::string slot[UI_TEXT_SLOTS];
};

extern UiTextTable ui_texts;

// Reads up to 50 lines into slots 0..49. A missing file, or a file that ends
// early, leaves the remaining slots as they were.
void load_ui_texts();

// A slot is a template a translator edits, so it never reaches printf:
// "%%" gives "%", and when takes_number is set the first integer directive
// (%d or %i with flags and a width of up to 3 digits) is filled with value.
// Anything else is drawn as it stands.
std::string format_template(const std::string& text, bool takes_number, int value);
void format_template_into(std::string& out, const std::string& text, bool takes_number, int value);
std::string format_slot(int slot);
std::string format_slot(int slot, int value);

void draw_slot(const ALLEGRO_FONT* font, ALLEGRO_COLOR colour, float x, float y, int flags, int slot);
void draw_slot(const ALLEGRO_FONT* font, ALLEGRO_COLOR colour, float x, float y, int flags, int slot, int value);
int slot_width(const ALLEGRO_FONT* font, int slot);
// A number in one of the program's own formats ("%d", " %d"), drawn without allocating.
void draw_number(const ALLEGRO_FONT* font, ALLEGRO_COLOR colour, float x, float y, int flags, const char* format,
                 int value);
