// Stands in for the browser: the prefix's http handler points here during the
// wizard's end-to-end tests. Arguments: the record file, then the address the
// shell was asked to open; each call appends one line.
#include <cstdio>

int main(int argc, char** argv) {
    if (argc < 3) return 2;
    std::FILE* record = std::fopen(argv[1], "ab");
    if (!record) return 1;
    std::fprintf(record, "%s\n", argv[2]);
    std::fclose(record);
    return 0;
}
