// Entry point of the game executable.
#include <cstdio>

int main()
{
    std::fputs("Vantor is not playable yet: the race and its screens are still being built.\n", stderr);
    return 1;
}
