// SPDX-License-Identifier: MIT
// The C header and the ABI table declare the same functions; a C compiler
// rejects any pair that disagrees in a parameter or the result.
#include <eztw32.h>
#include <quillmere/eztw32_abi.h>
