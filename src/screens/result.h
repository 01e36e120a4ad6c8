// The result screen after a solved level, and the finale after the last one.
#pragma once

constexpr int LEVEL_PUSHES_SIZE = 56;

extern int level_picked;                     // the level was started from the level selection
extern int level_pushes[LEVEL_PUSHES_SIZE];  // pushes per level number, this run only

// What the screen shows after the progress has advanced.
enum ResultState : int {
    RESULT_LEVEL = 0,    // more levels follow
    RESULT_FINALE = 1,   // the last level of the file was solved
    RESULT_BEYOND = 2,   // a level past the end of the file was solved
};

// The panel's horizontal extent for a heading of the given width.
struct ResultPanel {
    int x1;
    int x2;
};
constexpr int RESULT_PANEL_TOP = 250;
constexpr int RESULT_PANEL_BOTTOM = 416;

// The progress arithmetic of a win.
void advance_progress_after_win();
// Slot 10 for counts ending in 2, 3 or 4, else slot 9.
int push_line_slot(int pushes);
ResultState result_state();
// Keeps a level's push count; level numbers outside the table are dropped.
void record_level_pushes(int level, int pushes);
ResultPanel result_panel_for_heading(int heading_width);

// Copies the back buffer into the screen buffer.
void capture_displayed_frame();
// The darkened frame into the spare buffer and the panel into the result
// buffer, from the screen buffer; records the push count. Back buffer after.
void compose_result_screen();

// Pays the graphics driver's first-use costs of the capture and the panel
// (a tenth of a second and more here) ahead of the first win. Leaves every
// picture as it was, apart from the result buffer, which stays blank.
void prepare_result_screen();

void show_result();
