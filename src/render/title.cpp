#include "render/title.h"

#include "assets/assets.h"

void draw_title() {
    al_set_target_bitmap(game_assets.screen_buffer);
    target_back_buffer();
}
