// SPDX-License-Identifier: MIT
/* A libeztw32 that lacks all but two exports. */
#include <stdint.h>
int32_t TWAIN_State(void) { return 4; }
int32_t TWAIN_EasyVersion(void) { return 273; }
