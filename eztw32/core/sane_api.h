// SPDX-License-Identifier: MIT
// The one door to SANE: a table of the libsane entry points. Everything
// above it calls SANE through a SaneApi, so tests can put another table in.
#pragma once

#include <sane/sane.h>

namespace eztw {

struct SaneApi {
  SANE_Status (*init)(SANE_Int* version, SANE_Auth_Callback auth);
  void (*exit)();
  SANE_Status (*getDevices)(const SANE_Device*** list, SANE_Bool localOnly);
  SANE_Status (*open)(SANE_String_Const name, SANE_Handle* handle);
  void (*close)(SANE_Handle handle);
  const SANE_Option_Descriptor* (*getOptionDescriptor)(SANE_Handle handle, SANE_Int option);
  SANE_Status (*controlOption)(SANE_Handle handle, SANE_Int option, SANE_Action action, void* value,
                               SANE_Int* info);
  SANE_Status (*getParameters)(SANE_Handle handle, SANE_Parameters* params);
  SANE_Status (*start)(SANE_Handle handle);
  SANE_Status (*read)(SANE_Handle handle, SANE_Byte* data, SANE_Int maxLength, SANE_Int* length);
  void (*cancel)(SANE_Handle handle);
  SANE_String_Const (*strstatus)(SANE_Status status);
};

// The status of a call whose SANE ran in an engine process that ended or
// was ended (a backend crashed, or hung past its deadline). SANE's own
// statuses stop at 13; 15 is still a value of its enumeration.
inline constexpr SANE_Status kSaneDriverStopped = static_cast<SANE_Status>(15);

// The system's libsane in this process.
const SaneApi& systemSane();
// The system's libsane in the engine process beside libeztw32.so: the
// library's default.
const SaneApi& engineSane();

}  // namespace eztw
