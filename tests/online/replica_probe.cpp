// Stands in for the program in updater tests: started with "hold" it runs until its input
// closes; started without arguments it notes the start in ../temp/started.txt and ends.
#include <cstdio>
#include <cstring>

int main(int argc, char** argv) {
    if (argc > 1 && std::strcmp(argv[1], "hold") == 0) {
        while (std::getchar() != EOF) {
        }
        return 0;
    }
    if (std::FILE* f = std::fopen("../temp/started.txt", "a")) {
        std::fputs("probe\n", f);
        std::fclose(f);
    }
    return 0;
}
