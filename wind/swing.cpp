#include "wind.h"

int pose;
