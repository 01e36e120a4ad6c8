#include "test_support.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>

#include <unistd.h>

namespace fs = std::filesystem;

TempFolder::TempFolder() {
    char pattern[] = "/tmp/pelmak-test-XXXXXX";
    if (!mkdtemp(pattern)) throw std::runtime_error("mkdtemp failed");
    path = pattern;
    previous = fs::current_path().string();
    fs::current_path(path);
    fs::create_directories(fs::path(path) / "media");
}

TempFolder::~TempFolder() {
    std::error_code ignored;
    fs::current_path(previous, ignored);
    fs::permissions(path, fs::perms::owner_all, fs::perm_options::add, ignored);
    fs::remove_all(path, ignored);
}

void TempFolder::write(const std::string& name, const std::string& bytes) const {
    fs::path file = fs::path(path) / name;
    fs::create_directories(file.parent_path());
    std::ofstream out(file, std::ios::binary);
    out << bytes;
}

std::string TempFolder::read(const std::string& name) const {
    std::ifstream in(fs::path(path) / name, std::ios::binary);
    std::stringstream all;
    all << in.rdbuf();
    return all.str();
}

bool TempFolder::exists(const std::string& name) const {
    return fs::exists(fs::path(path) / name);
}

void TempFolder::copy_media() const {
    fs::copy(fs::path(source_dir()) / "media", fs::path(path) / "media",
             fs::copy_options::recursive | fs::copy_options::overwrite_existing);
}

std::string source_dir() { return PELMAK_SOURCE_DIR; }

ALLEGRO_BITMAP* memory_bitmap(int width, int height) {
    int flags = al_get_new_bitmap_flags();
    al_set_new_bitmap_flags(ALLEGRO_MEMORY_BITMAP);
    ALLEGRO_BITMAP* bitmap = al_create_bitmap(width, height);
    al_set_new_bitmap_flags(flags);
    return bitmap;
}

Rgba pixel_at(ALLEGRO_BITMAP* bitmap, int x, int y) {
    unsigned char r, g, b, a;
    al_unmap_rgba(al_get_pixel(bitmap, x, y), &r, &g, &b, &a);
    return {r, g, b, a};
}

bool same_colour(Rgba a, Rgba b, int tolerance) {
    return std::abs(a.r - b.r) <= tolerance && std::abs(a.g - b.g) <= tolerance &&
           std::abs(a.b - b.b) <= tolerance && std::abs(a.a - b.a) <= tolerance;
}

std::string level_record(const std::vector<std::string>& rows, const std::string& title) {
    std::string record = title + "\n";
    for (const std::string& row : rows) {
        for (size_t c = 0; c < row.size(); c++) {
            record += row[c];
            record += c + 1 < row.size() ? " " : "";
        }
        record += "\n";
    }
    // Pad the header line so the record is exactly 1044 bytes long.
    if (record.size() < 1044) record.insert(title.size(), std::string(1044 - record.size(), ' '));
    return record;
}

std::string level_file(const std::vector<std::vector<std::string>>& levels) {
    std::string file = "pelmak level file, version 1\n";
    file.resize(29, ' ');
    file[28] = '\n';
    for (size_t i = 0; i < levels.size(); i++) file += level_record(levels[i], "level " + std::to_string(i + 1));
    return file;
}
