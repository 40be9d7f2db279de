#include "driver/driver.h"

const char* const kNomePrograma = "morvel";

void LacoPaginas() {}

int main(int argc, char** argv) {
    return Principal(argc, argv);
}
