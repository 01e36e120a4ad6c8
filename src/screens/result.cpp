#include "screens/result.h"

#include "level/board.h"
#include "level/progress.h"
#include "render/fades.h"

int level_picked = 0;
int level_pushes[LEVEL_PUSHES_SIZE];

void advance_progress_after_win() {
    if (level_picked == 0) {
        current_level++;
        unlocked_level = current_level;
        solved_count++;
    } else {
        current_level = unlocked_level = solved_count + 1;
    }
    level_picked = 0;
}

int push_line_slot(int pushes) {
    int last_digit = pushes % 10;
    return last_digit == 2 || last_digit == 3 || last_digit == 4 ? 10 : 9;
}

void show_result() {
    advance_progress_after_win();
    load_level();
    fade_in_board();
}
