#include "render/info_panel.h"

#include <allegro5/allegro_font.h>
#include <allegro5/allegro_primitives.h>

#include "assets/assets.h"
#include "assets/ui_texts.h"
#include "level/progress.h"
#include "render/board_renderer.h"
#include "render/title.h"

constexpr int PANEL_LEFT = 300;
constexpr int PANEL_TOP = 190;
constexpr int PANEL_BOTTOM = 566;
constexpr int KEY_ROWS = 7;

int info_panel_right() { return board_offset_x + 710; }
int info_panel_text_centre() { return 300 + (board_offset_x + 400) / 2; }

void draw_info_panel() {
    int right = info_panel_right();
    float centre = info_panel_text_centre();
    ALLEGRO_COLOR heading = al_map_rgb(120, 200, 200);
    ALLEGRO_COLOR body = al_map_rgb(200, 200, 200);

    al_draw_filled_rectangle(PANEL_LEFT, PANEL_TOP, right, PANEL_BOTTOM, al_map_rgba(0, 0, 0, 180));
    al_draw_rectangle(PANEL_LEFT, PANEL_TOP, right, PANEL_BOTTOM, al_map_rgba(0, 0, 0, 150), 4);
    al_draw_rectangle(PANEL_LEFT, PANEL_TOP, right, PANEL_BOTTOM, al_map_rgb(111, 222, 111), 2);

    draw_slot(game_assets.font_bold_26, heading, centre, 215, ALLEGRO_ALIGN_CENTRE, 14);
    draw_slot(game_assets.font_18, heading, centre, 238, ALLEGRO_ALIGN_CENTRE, 15, level_count - 1);
    draw_slot(game_assets.font_18, body, 330, 265, ALLEGRO_ALIGN_LEFT, 16);
    draw_slot(game_assets.font_18, body, 330, 285, ALLEGRO_ALIGN_LEFT, 17);
    for (int k = 0; k < KEY_ROWS; k++) {
        draw_slot(game_assets.font_18, body, 350, 320 + 20 * k, ALLEGRO_ALIGN_LEFT, 18 + k);
        draw_slot(game_assets.font_18, body, 470, 320 + 20 * k, ALLEGRO_ALIGN_LEFT, 25 + k);
    }
    draw_slot(game_assets.font_18, heading, centre, 505, ALLEGRO_ALIGN_CENTRE, 32);
    al_draw_text(game_assets.font_18, al_map_rgb(100, 160, 160), centre, 530, ALLEGRO_ALIGN_CENTRE, CREDIT_LINE);
}
