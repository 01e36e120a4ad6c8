// The pause menu over the play screen: level selection, resume, new game, quit.
#pragma once

// Blocks until an item is chosen; the quit item sets *quit_requested to 1.
// Returns true when it loaded a level into the Board.
bool show_menu(int* quit_requested);
