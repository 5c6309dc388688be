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

// The system's libsane.
const SaneApi& systemSane();

}  // namespace eztw
