#include "shell/ui/Application.h"

int main(int argc, char** argv) {
    return runQuendrix(argc, argv);
}
