#pragma once

void draw_info_panel();
