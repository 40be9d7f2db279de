// The entry point of both programs; each links its own page loop and back-end.
#include "driver/driver.h"

int main(int argc, char** argv) {
    return Principal(argc, argv);
}
