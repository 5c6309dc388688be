// SPDX-License-Identifier: MIT
// Wrapper family: see families/errors.inc.
#include "call.h"

#define QM_ROW QM_DEFINE_ROW
#include "families/errors.inc"
