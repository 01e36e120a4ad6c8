// Shared fixtures of the logic and drawing tests.
#pragma once

#include <string>
#include <vector>

#include <allegro5/allegro.h>

// A fresh temporary folder made the working folder for the test's lifetime.
struct TempFolder {
    std::string path;
    std::string previous;
    TempFolder();
    ~TempFolder();
    void write(const std::string& name, const std::string& bytes) const;
    std::string read(const std::string& name) const;
    bool exists(const std::string& name) const;
    // Copies the repository's media/ folder in.
    void copy_media() const;
};

std::string source_dir();

// A memory bitmap to draw into and read back.
ALLEGRO_BITMAP* memory_bitmap(int width, int height);
// Pixel as 8-bit components.
struct Rgba { int r, g, b, a; };
Rgba pixel_at(ALLEGRO_BITMAP* bitmap, int x, int y);
bool same_colour(Rgba a, Rgba b, int tolerance = 2);

// A level file in the game's record format: 29-byte preamble, then per level
// a header line and 16 rows of 21 numbers, padded to 1044 bytes.
// Each level is given as 16 strings of 21 digits (one cell code each).
std::string level_record(const std::vector<std::string>& rows, const std::string& title = "level");
std::string level_file(const std::vector<std::vector<std::string>>& levels);
