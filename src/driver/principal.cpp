#include "driver/driver.h"

int Principal(int, char**) {
    return 0;
}
