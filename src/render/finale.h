#pragma once

void show_finale();
