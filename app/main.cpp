// FIXME: the start-up replaces this placeholder entry.
#include <cstdio>
#include <cstring>
int main(int argc, char** argv) {
    if (argc > 1 && std::strcmp(argv[1], "--version") == 0) std::puts("dropfix " DROPFIX_VERSION);
    return 0;
}
