#include "core/frame_loop.h"

int main() {
    run_start_sequence();
    while (run_frame()) {
    }
    run_quit_sequence();
    return 0;
}
