#include <gtest/gtest.h>

#include <allegro5/allegro.h>
#include <allegro5/allegro_image.h>
#include <allegro5/allegro_primitives.h>
#include <allegro5/allegro_font.h>
#include <allegro5/allegro_ttf.h>

int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    if (!al_init() || !al_init_image_addon() || !al_init_primitives_addon() ||
        !al_init_font_addon() || !al_init_ttf_addon()) {
        fprintf(stderr, "cannot initialise Allegro for the tests\n");
        return 1;
    }
    return RUN_ALL_TESTS();
}
