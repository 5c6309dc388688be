// SPDX-License-Identifier: GPL-2.0-or-later
#include <quillmere/eztw32fu.h>

#include "commands.h"
#include "mainview.h"
#include "messages.h"

using sorrelby::message;

void infomsg() { message("Samples for Quillmere"); }

void selftest() {
  message(std::string("self test was ") + (eztw32_SelfTest() ? "successful" : "failed"));
}

void ezversion() { message("EZTWAIN Version: " + sorrelby::versionText(eztw32_GetVersion())); }

void ezbname() {
  std::string cName(255, ' ');
  eztw32_GetBuildName(cName);
  // The buffer holds the name, a zero byte and the rest of the blanks.
  message("build name of eztwain: " + cName.substr(0, cName.find('\0')));
}

void parmtest() {
  sorrelby::reportStatus("Parameter test done, library result " +
                         std::to_string(eztw32_TestParam()));
}

void TwainAvailable() {
  message(std::string("twain available ? ") + (eztw32_IsTwainAvailable() ? "YES" : "NO"));
}

void JpegAvailable() {
  const bool available = eztw32_IsJpegAvailable();
  std::string text = std::string("Jpeg available ? ") + (available ? "YES" : "NO") + '\n';
  if (available) text += "Jpeg quality: " + sorrelby::numberText(eztw32_GetJpegQuality());
  message(text);
}

std::string statemsg(std::int32_t state) {
  switch (state) {
    case 1:
      return "source manager not loaded";
    case 2:
      return "source manager loaded";
    case 3:
      return "source manager open";
    case 4:
      return "source open but not enabled";
    case 5:
      return "source enabled to acquire";
    case 6:
      return "image ready to transfer";
    case 7:
      return "image in transit";
    default:
      return sorrelby::numberText(state);
  }
}

void TwainStat() { message("Twain State: " + statemsg(eztw32_GetTwainState())); }

void elogfile() {
  eztw32_LogFile(1);
  sorrelby::reportStatus("Library log file switched on");
}

void dlogfile() {
  eztw32_LogFile(0);
  sorrelby::reportStatus("Library log file switched off");
}
