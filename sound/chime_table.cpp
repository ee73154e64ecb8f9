#include "chime_sound.h"

// Not in id order: sample 3 is resource 158 and sample 6 is resource 155.
const int chimeSounds[CHIME_SOUNDS] = {152, 153, 154, 158, 156, 157, 155};
