// The help panel drawn over a frame of the play screen while I is held.
#pragma once

// The panel's right edge and the centre of its centred texts.
int info_panel_right();
int info_panel_text_centre();

// Onto the current drawing target, which it leaves as it was.
void draw_info_panel();
