// SPDX-License-Identifier: MIT
#include "sane_api.h"

namespace eztw {

const SaneApi& systemSane() {
  static const SaneApi api{sane_init,           sane_exit,           sane_get_devices,
                           sane_open,           sane_close,          sane_get_option_descriptor,
                           sane_control_option, sane_get_parameters, sane_start,
                           sane_read,           sane_cancel,         sane_strstatus};
  return api;
}

}  // namespace eztw
