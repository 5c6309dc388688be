// SPDX-License-Identifier: MIT
// Result, condition and last-error codes; the library's error box.
#include "exports.h"
#include "gui.h"
#include "session.h"

using namespace eztw;

EZ_API int32_t TWAIN_GetResultCode(void) { return Session::instance().errors.result; }
EZ_API int32_t TWAIN_GetConditionCode(void) { return Session::instance().errors.condition; }
EZ_API int32_t TWAIN_UserClosedSource(void) {
  return Session::instance().errors.userClosedSource ? 1 : 0;
}

EZ_API int32_t TWAIN_ErrorBox(const char* cMessage) {
  return guarded("TWAIN_ErrorBox", 0, [&] {
    ui::message(0, cMessage ? cMessage : "", Session::instance().settings.appTitle);
    return 1;
  });
}

EZ_API int32_t TWAIN_SuppressErrorMessages(int32_t nYesNo) {
  Session::instance().settings.suppressErrors = nYesNo != 0;
  return 1;
}

EZ_API int32_t TWAIN_LastErrorCode(void) { return Session::instance().errors.lastError; }

EZ_API int32_t TWAIN_ClearError(void) {
  auto& e = Session::instance().errors;
  e = ErrorState{};
  return 1;
}
