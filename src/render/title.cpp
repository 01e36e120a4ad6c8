#include "render/title.h"

#include <allegro5/allegro_font.h>
#include <allegro5/allegro_primitives.h>

#include "assets/assets.h"

void draw_title() {
    // Not cleared: at start-up the buffer is still the blank it was made as.
    al_set_target_bitmap(game_assets.screen_buffer);
    ALLEGRO_COLOR title = al_map_rgb(100, 180, 180);
    al_draw_text(game_assets.font_bold_26, title, 512, 350, ALLEGRO_ALIGN_CENTRE, "Tarkavo PELMAK");
    al_draw_text(game_assets.font_18, title, 678, 351, ALLEGRO_ALIGN_CENTRE, "Orvo v1.3");
    al_draw_line(380, 375, 710, 375, al_map_rgb(80, 150, 150), 1);
    al_draw_text(game_assets.font_18, al_map_rgb(50, 120, 120), 550, 380, ALLEGRO_ALIGN_CENTRE, CREDIT_LINE);
    target_back_buffer();
}
