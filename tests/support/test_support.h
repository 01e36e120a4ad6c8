// Shared fixtures of the logic and drawing tests.
#pragma once

#include <string>

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
