#include "render/finale.h"

void show_finale() {}
