// Small ELDANORM files for the file-choice tests, and the log lines a choice writes.
#pragma once

#include "core/Text.h"

#include <string>

namespace arti::test {

inline std::string pad(std::string s, std::size_t n) {
    s.resize(n, ' ');
    return s;
}

// Version 01/96: header with the record-type flags at 100 to 107 and "0196" at 125.
inline std::string header0196(const std::string& flags = "11000000") {
    return pad(pad("V08122026", 99) + flags, 124) + "0196";
}
inline std::string record(char type) {
    return pad(std::string(1, type) + "1 content", 128);
}
inline std::string header0590() {
    return pad("V08122026", 128);
}
inline const std::string kHeader2000 = "V;2000A;20261208;IH;05;06;07;08;09;10;11;12;W;ANSI";

inline const std::string kCrLf = "\r\n";
inline const std::string kPrefix = "Z  Datei-Offset 0, Satz-Offset 0, ";

inline std::string lengthLine(long long n) {
    using namespace arti::literals;
    return kPrefix + "Datei-Länge "_ansi + padLeft(groupedNumber(n), 17) + " Byte\r\n";
}
// The head of a fresh log on 08.12.2026, 10:15 (the fake clock).
inline std::string logHead(const std::string& file) {
    return "Fehlerprotokoll vom 08.12.2026 - 10:15:00 Uhr\r\n*--------------------\r\nDatei: " + file +
           "\r\n\r\n";
}

} // namespace arti::test
