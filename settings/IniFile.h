// INI files through the profile-file functions: INIFILE on a file of the caller's
// choice (the update check reads the downloaded version file with it), WININIFILE on the
// system's "win.ini" (machineFolder()/win.ini). Texts are Windows-1252; logic values are
// written "TRUE"/"FALSE", numbers as plain decimals. Nothing reports errors: missing
// entries read as the defaults below, failed writes return false and change nothing.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace arti {

class INIFILE {
public:
    INIFILE() = default;
    explicit INIFILE(std::string_view fileName) { INIT(fileName); }
    virtual ~INIFILE() = default;

    // A file name without "." gets ".INI" appended; a name without a folder lies in the
    // current folder.
    void INIT(std::string_view fileName);
    const std::string& FULLPATH() const { return fullPath_; }

    // The value, read into a 4096-byte buffer (at most 4095 bytes); a missing entry or
    // file gives one blank " ".
    std::string GETSTRING(std::string_view section, std::string_view key) const;
    // The value as a whole number (leading digits); 0 when missing or not a number.
    long long GETINT(std::string_view section, std::string_view key) const;
    bool GETLOGIC(std::string_view section, std::string_view key) const;
    // Upper-cased, ending in the path separator.
    std::string GETPATH(std::string_view section, std::string_view key) const;
    // The key names of the section (read into an 8192-byte list); empty when none.
    std::vector<std::string> GETSECTION(std::string_view section) const;
    std::string GETSTRINGUPPER(std::string_view section, std::string_view key) const;
    std::string GETSTRINGPROPER(std::string_view section, std::string_view key) const;
    // Converted from the OEM code page (850) to Windows-1252.
    std::string GETSTRINGOEM(std::string_view section, std::string_view key) const;
    std::string GETSTRINGCRYPT(std::string_view section, std::string_view key) const;

    bool WRITESTRING(std::string_view section, std::string_view key, std::string_view text);
    bool WRITEINT(std::string_view section, std::string_view key, long long number);
    bool WRITELOGIC(std::string_view section, std::string_view key, bool value);
    bool WRITESTRINGUPPER(std::string_view section, std::string_view key, std::string_view text);
    bool WRITESTRINGPROPER(std::string_view section, std::string_view key, std::string_view text);
    // Converted from Windows-1252 to the OEM code page before writing.
    bool WRITESTRINGOEM(std::string_view section, std::string_view key, std::string_view text);
    bool WRITESTRINGCRYPT(std::string_view section, std::string_view key, std::string_view text);

    bool DELETEENTRY(std::string_view section, std::string_view key);
    bool DELETESECTION(std::string_view section);

protected:
    std::string fullPath_;
};

class WININIFILE : public INIFILE {
public:
    WININIFILE() { INIT(); }
    void INIT();
};

// Logic of a value of any kind: a logic value as it is; a number is TRUE exactly when it
// is 1; a text is TRUE when, in lower case, it is one of the words ein, on, ja, yes,
// true, j, y, 1.
bool USUAL2LOGIC(bool value);
bool USUAL2LOGIC(int value);
bool USUAL2LOGIC(long long value);
bool USUAL2LOGIC(double value);
bool USUAL2LOGIC(std::string_view text);
bool USUAL2LOGIC(const char* text);
inline bool USUAL2LOGIC(const std::string& text) {
    return USUAL2LOGIC(std::string_view(text));
}

// Each word's first letter upper case, the rest lower case.
std::string properCase(std::string_view text);

// The reversible scrambling of the crypt methods. With an empty key (the program's) the
// text stays as it is; otherwise each byte is combined with the key and written as two
// hexadecimal digits, so the stored text is plain ASCII that a profile file can hold.
std::string scrambleText(std::string_view text, std::string_view key);
std::string unscrambleText(std::string_view text, std::string_view key);

} // namespace arti
