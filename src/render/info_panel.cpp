#include "render/info_panel.h"

void draw_info_panel() {}
