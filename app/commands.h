// SPDX-License-Identifier: GPL-2.0-or-later
// The menu commands. Each takes no arguments, calls the wrapper functions in
// a fixed order and reports, where it reports anything, in one modal box.
#ifndef SORRELBY_COMMANDS_H
#define SORRELBY_COMMANDS_H

#include <cstdint>
#include <string>

// Status and information.
void infomsg();
void selftest();
void ezversion();
void ezbname();
void parmtest();
void TwainAvailable();
void JpegAvailable();
void TwainStat();
void elogfile();
void dlogfile();
// Text of a TWAIN state number.
std::string statemsg(std::int32_t state);

// Data sources.
void selectds();
void currentds();
void defaultds();

// Acquisition.
void acqfromds();
void austofile();
void austoclip();
void savetofile();
// Shows the message for a non-zero result code of a file acquisition.
void dis_err_msg(std::int32_t nStatus);

namespace sorrelby {

// A number in its default text form: decimal, right-aligned in ten places.
std::string numberText(std::int32_t n);
// A library version (times 100) as text with two decimals in four places.
std::string versionText(std::int32_t version);
// The text for a non-zero result code of a file acquisition or write.
std::string resultText(std::int32_t nStatus);

}  // namespace sorrelby

#endif
