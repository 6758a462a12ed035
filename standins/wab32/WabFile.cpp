#include "standins/wab32/WabFile.h"
