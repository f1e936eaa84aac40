// scenario_main.cpp: runs the fixed scenario on a module and writes its report.
//   tallomira-scenario MODULE REPORT
#include <stdio.h>

#include <string>

#include "standin/scenario.h"

int main(int argc, char **argv) {
    if (argc != 3) {
        fprintf(stderr, "usage: tallomira-scenario MODULE REPORT\n");
        return 2;
    }
    std::string report, error;
    if (!standin::runScenario(argv[1], report, error)) {
        fprintf(stderr, "tallomira-scenario: %s\n", error.c_str());
        return 1;
    }
    FILE *out = fopen(argv[2], "wb");  // binary: the same bytes on every platform
    if (!out || fwrite(report.data(), 1, report.size(), out) != report.size() || fclose(out) != 0) {
        fprintf(stderr, "tallomira-scenario: cannot write %s\n", argv[2]);
        return 1;
    }
    return 0;
}
