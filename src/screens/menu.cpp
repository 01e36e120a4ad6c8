#include "screens/menu.h"

bool show_menu(int*) { return false; }
