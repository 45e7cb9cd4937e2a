// Profile (INI) files as the Windows private-profile functions read and write them:
// "[Section]" headers, "key=value" entries, section and key names matched without
// regard to case. Values are kept byte for byte (backslashes, commas, semicolons and
// bytes that are not UTF-8 pass untouched); reading trims blanks and tabs around a value
// and drops one pair of matching quotes around it, as Windows does. Comment lines
// (';'), blank lines and lines that are no entry survive a rewrite unchanged. Files may
// end their lines in CR LF or LF, also mixed; a rewrite keeps every line's own line end
// byte for byte (a further CR before a CR LF is part of the line), so reading, rewriting
// and reading again gives the same text, names and values. New lines take the line end
// of the file's first line.
//
// A file is only ever replaced as a whole: the new text goes to a temporary file in the
// same folder, which is then renamed over the old one, so a crash leaves either the old
// or the new file, never half of one. The temporary file is named "." + file name +
// ".save." + six letters or digits and is locked while its save runs; each save removes
// the unlocked ones of its file, which saves that died left behind.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace arti::platform {

// Names compare like Windows profile and registry names: without regard to case
// (ASCII and the letters of Windows-1252).
bool equalsIgnoreCase(std::string_view a, std::string_view b);

class ProfileDocument {
public:
    enum class LoadStatus {
        Loaded,
        Missing,    // no such file: an empty document
        Unreadable, // the file exists but cannot be read or is no text: an empty document
    };

    LoadStatus load(const std::string& path);
    // Takes the bytes of a file; false (and an empty document) for bytes that cannot be
    // a profile file (NUL bytes).
    bool parse(std::string_view bytes);
    std::string text() const;
    // Writes the document to `path` through a temporary file and a rename, first removing
    // the temporary files of dead saves of `path`. Fails, leaving the file as it was,
    // when the file or its folder is read-only or the write fails.
    bool save(const std::string& path) const;

    // The value of the first entry `key` in the section(s) named `section`.
    std::optional<std::string> get(std::string_view section, std::string_view key) const;
    // Replaces the value of an existing entry or adds the entry (and the section) at the
    // end of the section. False when a name or the value cannot be written into a
    // profile file (see the valid... tests); the document is then unchanged.
    bool set(std::string_view section, std::string_view key, std::string_view value);
    // Each returns true when it changed the document.
    bool removeEntry(std::string_view section, std::string_view key);
    bool removeSection(std::string_view section);
    // Adds an empty section when there is none of that name. False for an invalid name.
    bool addSection(std::string_view section);

    bool hasSection(std::string_view section) const;
    std::vector<std::string> sectionNames() const;
    // The keys of the section in file order, each once.
    std::vector<std::string> keys(std::string_view section) const;

    // A section name must not contain ']', CR, LF or NUL, nor start or end with blanks.
    static bool validSectionName(std::string_view name);
    // A key must not be empty, contain '=', CR, LF or NUL, begin with '[' or ';', nor
    // start or end with blanks or tabs.
    static bool validKeyName(std::string_view name);
    // A value must not contain CR, LF or NUL (it would end the line).
    static bool validValue(std::string_view value);

private:
    struct Line {
        std::string raw; // the line as in the file, without its line end
        bool entry = false;
        std::string key; // entries only
        // "\r\n" or "\n"; at the end of the file also a lone "\r" or nothing. A line that
        // is no longer the last one ends in the file's line end when it had no LF.
        std::string end;
    };
    struct Section {
        bool hasHeader = false; // false only for the lines before the first header
        std::string name;
        std::vector<Line> lines; // with a header, lines[0] is the header line
    };

    Section* firstSection(std::string_view name);

    std::vector<Section> sections_;
    std::string bom_;
    std::string lineEnd_ = "\n";
};

// True when a save to `path` can succeed as far as permissions go: an existing file is
// not read-only and its folder exists and is writable. The write bits are looked at as
// well as access(), so a read-only file counts as read-only even for the superuser.
bool profileFileWritable(const std::string& path);

// The private-profile functions, each on the file at `path`.
// GetPrivateProfileString: the value, or `defaultValue` when the file, the section or
// the key is missing.
std::string getProfileString(std::string_view section, std::string_view key, std::string_view defaultValue,
                             const std::string& path);
// WritePrivateProfileString(section, key, value): creates file and section as needed.
// A file that exists but cannot be read is left alone and the write fails.
bool writeProfileString(std::string_view section, std::string_view key, std::string_view value,
                        const std::string& path);
// WritePrivateProfileString(section, key, NULL) and (section, NULL, NULL).
bool deleteProfileEntry(std::string_view section, std::string_view key, const std::string& path);
bool deleteProfileSection(std::string_view section, const std::string& path);
// GetPrivateProfileString(section, NULL): the section's keys.
std::vector<std::string> getProfileSectionKeys(std::string_view section, const std::string& path);
// GetPrivateProfileSectionNames.
std::vector<std::string> getProfileSectionNames(const std::string& path);

} // namespace arti::platform
