// Preloaded into the unchanged game by tools/run-bench: notes the wall-clock
// time of the first display flip (the first step of the title fade-in) in the
// file named by PELMAK_FIRST_FLIP_FILE, with the processor time used until
// then, and ends the process.
#include <cstdio>
#include <cstdlib>
#include <ctime>

#include <dlfcn.h>
#include <unistd.h>

extern "C" void al_flip_display(void) {
    static auto real = reinterpret_cast<void (*)(void)>(dlsym(RTLD_NEXT, "al_flip_display"));
    real();
    timespec now, cpu;
    clock_gettime(CLOCK_REALTIME, &now);
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &cpu);
    if (const char* path = getenv("PELMAK_FIRST_FLIP_FILE")) {
        if (FILE* file = fopen(path, "w")) {
            // Wall-clock time, then the processor time the game had used by then.
            fprintf(file, "%lld %lld\n", static_cast<long long>(now.tv_sec) * 1000000000LL + now.tv_nsec,
                    static_cast<long long>(cpu.tv_sec) * 1000000000LL + cpu.tv_nsec);
            fclose(file);
        }
    }
    _exit(0);
}
