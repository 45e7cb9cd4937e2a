// Conversion between the DOS code page 850 (the "OEM" or "ASCII" code page of ELDANORM
// files written under DOS) and Windows-1252, byte for byte as the Windows functions
// OemToCharBuff and CharToOemBuff convert: every byte of the buffer is converted, NUL
// included, and characters without a counterpart take Windows' best-fit byte ('?' when
// there is none). 225 byte values survive a round trip exactly.
#pragma once

#include <string>
#include <string_view>

namespace arti {

// In place, code page 850 -> Windows-1252.
void oemToAnsi(std::string& buffer);
// In place, Windows-1252 -> code page 850.
void ansiToOem(std::string& buffer);

std::string oemToAnsiCopy(std::string_view oem);
std::string ansiToOemCopy(std::string_view ansi);

unsigned char oemToAnsiByte(unsigned char oem);
unsigned char ansiToOemByte(unsigned char ansi);

} // namespace arti
