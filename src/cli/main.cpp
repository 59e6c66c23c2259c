#include <cstdio>

int main(int argc, char** argv) {
    (void)argc;
    (void)argv;
    std::puts("usage: qx5130-cli [options] COMMAND ARGS...");
    return 1;
}
