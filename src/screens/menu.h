#pragma once

// Returns true when it loaded a level into the Board.
bool show_menu(int* quit_requested);
