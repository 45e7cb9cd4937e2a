#include "platform/ProfileFile.h"

#include "platform/SystemFile.h"
#include "platform/Unicode.h"

#include <filesystem>

namespace arti::platform {

namespace {

unsigned char foldByte(unsigned char c) {
    if (c >= 'a' && c <= 'z') return static_cast<unsigned char>(c - 32);
    if (c >= 0xE0 && c <= 0xFE && c != 0xF7) return static_cast<unsigned char>(c - 32);
    switch (c) {
    case 0x9A:
        return 0x8A;
    case 0x9C:
        return 0x8C;
    case 0x9E:
        return 0x8E;
    case 0xFF:
        return 0x9F;
    default:
        return c;
    }
}

bool isBlank(char c) {
    return c == ' ' || c == '\t';
}

std::string_view trimBlanks(std::string_view s) {
    while (!s.empty() && isBlank(s.front()))
        s.remove_prefix(1);
    while (!s.empty() && isBlank(s.back()))
        s.remove_suffix(1);
    return s;
}

// The value of an entry line: everything behind the first '=', trimmed, without one
// pair of matching quotes around it.
std::string entryValue(std::string_view raw) {
    const auto eq = raw.find('=');
    std::string_view v = trimBlanks(raw.substr(eq + 1));
    if (v.size() >= 2 && (v.front() == '"' || v.front() == '\'') && v.back() == v.front())
        v = v.substr(1, v.size() - 2);
    return std::string(v);
}

std::string folderOf(const std::string& path) {
    const auto end = path.find_last_of(kFolderSeparators);
    if (end == std::string::npos) return ".";
    if (end == 0) return path.substr(0, 1);
    return path.substr(0, end);
}

// The temporary file of a save of `name`: "." + name + ".save." + six letters or digits
// (mkstemp), in the file's folder.
std::string tempPrefix(const std::string& name) {
    return "." + name + ".save.";
}

bool isTempOf(std::string_view entry, const std::string& prefix) {
    if (entry.size() != prefix.size() + 6 || entry.substr(0, prefix.size()) != prefix) return false;
    for (const char c : entry.substr(prefix.size()))
        if (!((c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'))) return false;
    return true;
}

// A save holds a lock on its temporary file from its creation until it has been renamed
// over the file. A temporary file of ours that nobody holds a lock on is what a save left
// behind when its process died (the system drops the locks of a dead process): it can
// never become the file and is removed. Files of other names are never touched.
void removeDeadSaves(const std::string& folder, const std::string& name) {
    const std::string prefix = tempPrefix(name);
    std::error_code ec;
    for (std::filesystem::directory_iterator it(fsPath(folder), ec), end; !ec && it != end;
         it.increment(ec)) {
        const std::string entry = pathText(it->path().filename());
        if (!isTempOf(entry, prefix)) continue;
        const std::string path = folder + "/" + entry;
        SystemFile held;
        if (held.open(path, FileMode{.noFollow = true, .noBlock = true}) != 0) continue;
        // Still the same file under the name once the lock is ours: a save that renamed
        // it in the meantime has made it the real file, which must stay.
        const std::optional<FileIdentity> id = held.identity();
        if (id && held.regular() && held.lock(FileLock::Exclusive) && fileIdentity(path, false) == id)
            removeFile(path);
    }
}

// Creates the temporary file of a save and locks it (see removeDeadSaves); an error code
// when that fails. Between the creation and the lock another save may have taken the
// file for a dead one and removed it: then a new one is made.
int createLockedTemp(const std::string& folder, const std::string& name, SystemFile& file,
                     std::string& temp) {
    int code = 0;
    for (int attempt = 0; attempt < 8; ++attempt) {
        code = file.createUnique(folder + "/" + tempPrefix(name), temp);
        if (code != 0) return code;
        // A file system without locks: no save can remove the file either.
        if (!file.lock(FileLock::Exclusive, true)) return 0;
        const std::optional<FileIdentity> id = file.identity();
        if (id && fileIdentity(temp, false) == id) return 0;
        file.close();
        code = dos::kFileNotFound;
    }
    return code;
}

} // namespace

bool equalsIgnoreCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (foldByte(static_cast<unsigned char>(a[i])) != foldByte(static_cast<unsigned char>(b[i])))
            return false;
    return true;
}

bool ProfileDocument::validSectionName(std::string_view name) {
    if (name.find_first_of(std::string_view("]\r\n\0", 4)) != std::string_view::npos) return false;
    return trimBlanks(name).size() == name.size();
}

bool ProfileDocument::validKeyName(std::string_view name) {
    if (name.empty() || name.front() == '[' || name.front() == ';') return false;
    if (name.find_first_of(std::string_view("=\r\n\0", 4)) != std::string_view::npos) return false;
    return trimBlanks(name).size() == name.size();
}

bool ProfileDocument::validValue(std::string_view value) {
    return value.find_first_of(std::string_view("\r\n\0", 3)) == std::string_view::npos;
}

ProfileDocument::LoadStatus ProfileDocument::load(const std::string& path) {
    sections_.clear();
    bom_.clear();
    lineEnd_ = "\n";
    SystemFile file;
    if (const int code = file.open(path, FileMode{}); code != 0)
        return code == dos::kFileNotFound || code == dos::kPathNotFound ? LoadStatus::Missing
                                                                        : LoadStatus::Unreadable;
    if (!file.regular()) return LoadStatus::Unreadable;
    std::string bytes;
    char buf[65536];
    for (;;) {
        int error = 0;
        const long long n = file.readAt(static_cast<long long>(bytes.size()), buf, sizeof buf, error);
        if (n < 0) return LoadStatus::Unreadable;
        if (n == 0) break;
        bytes.append(buf, static_cast<std::size_t>(n));
    }
    return parse(bytes) ? LoadStatus::Loaded : LoadStatus::Unreadable;
}

bool ProfileDocument::parse(std::string_view bytes) {
    sections_.clear();
    bom_.clear();
    lineEnd_ = "\n";
    if (bytes.find('\0') != std::string_view::npos) return false;
    if (bytes.substr(0, 3) == "\xEF\xBB\xBF") {
        bom_ = std::string(bytes.substr(0, 3));
        bytes.remove_prefix(3);
    }
    if (const auto nl = bytes.find('\n'); nl != std::string_view::npos && nl > 0 && bytes[nl - 1] == '\r')
        lineEnd_ = "\r\n";

    sections_.push_back(Section{});
    std::size_t start = 0;
    while (start < bytes.size()) {
        auto nl = bytes.find('\n', start);
        const bool lf = nl != std::string_view::npos;
        if (!lf) nl = bytes.size();
        std::string_view raw = bytes.substr(start, nl - start);
        start = nl + 1;
        std::string end = lf ? "\n" : "";
        // One CR before the LF belongs to the line end; any CR before that one is part
        // of the line and is written back with it.
        if (!raw.empty() && raw.back() == '\r') {
            raw.remove_suffix(1);
            end.insert(0, "\r");
        }

        const std::string_view content = trimBlanks(raw);
        if (!content.empty() && content.front() == '[') {
            const auto close = content.find(']');
            Section s;
            s.hasHeader = true;
            s.name = std::string(
                trimBlanks(content.substr(1, close == std::string_view::npos ? close : close - 1)));
            s.lines.push_back(Line{std::string(raw), false, {}, std::move(end)}); // the header line itself
            sections_.push_back(std::move(s));
            continue;
        }
        Line line{std::string(raw), false, {}, std::move(end)};
        if (!content.empty() && content.front() != ';') {
            if (const auto eq = content.find('='); eq != std::string_view::npos) {
                const std::string_view key = trimBlanks(content.substr(0, eq));
                if (!key.empty()) {
                    line.entry = true;
                    line.key = std::string(key);
                }
            }
        }
        sections_.back().lines.push_back(std::move(line));
    }
    return true;
}

std::string ProfileDocument::text() const {
    std::string out = bom_;
    const Line* last = nullptr;
    for (const Section& s : sections_)
        if (!s.lines.empty()) last = &s.lines.back();
    for (const Section& s : sections_)
        for (const Line& l : s.lines) {
            out += l.raw;
            // The file's last line keeps whatever ended it (also nothing); a line that
            // lines were added behind needs a real line end.
            out += &l == last || l.end.find('\n') != std::string::npos ? l.end : lineEnd_;
        }
    return out;
}

ProfileDocument::Section* ProfileDocument::firstSection(std::string_view name) {
    for (Section& s : sections_)
        if (s.hasHeader && equalsIgnoreCase(s.name, name)) return &s;
    return nullptr;
}

std::optional<std::string> ProfileDocument::get(std::string_view section, std::string_view key) const {
    for (const Section& s : sections_) {
        if (!s.hasHeader || !equalsIgnoreCase(s.name, section)) continue;
        for (const Line& l : s.lines)
            if (l.entry && equalsIgnoreCase(l.key, key)) return entryValue(l.raw);
    }
    return std::nullopt;
}

bool ProfileDocument::set(std::string_view section, std::string_view key, std::string_view value) {
    if (!validSectionName(section) || !validKeyName(key) || !validValue(value)) return false;
    for (Section& s : sections_) {
        if (!s.hasHeader || !equalsIgnoreCase(s.name, section)) continue;
        for (Line& l : s.lines)
            if (l.entry && equalsIgnoreCase(l.key, key)) {
                l.raw = l.key + "=" + std::string(value);
                return true;
            }
    }
    addSection(section);
    Section& s = *firstSection(section);
    // New entries go behind the section's last non-blank line, so that blank lines that
    // separate it from the next section stay where they are.
    auto pos = s.lines.end();
    while (pos != s.lines.begin() + 1 && trimBlanks(std::prev(pos)->raw).empty())
        --pos;
    s.lines.insert(pos, Line{std::string(key) + "=" + std::string(value), true, std::string(key), lineEnd_});
    return true;
}

bool ProfileDocument::removeEntry(std::string_view section, std::string_view key) {
    bool changed = false;
    for (Section& s : sections_) {
        if (!s.hasHeader || !equalsIgnoreCase(s.name, section)) continue;
        std::erase_if(s.lines, [&](const Line& l) {
            const bool hit = l.entry && equalsIgnoreCase(l.key, key);
            changed = changed || hit;
            return hit;
        });
    }
    return changed;
}

bool ProfileDocument::removeSection(std::string_view section) {
    return std::erase_if(sections_, [&](const Section& s) {
               return s.hasHeader && equalsIgnoreCase(s.name, section);
           }) > 0;
}

bool ProfileDocument::addSection(std::string_view section) {
    if (!validSectionName(section)) return false;
    if (firstSection(section)) return true;
    if (sections_.empty()) sections_.push_back(Section{});
    Section s;
    s.hasHeader = true;
    s.name = std::string(section);
    s.lines.push_back(Line{"[" + s.name + "]", false, {}, lineEnd_});
    sections_.push_back(std::move(s));
    return true;
}

bool ProfileDocument::hasSection(std::string_view section) const {
    for (const Section& s : sections_)
        if (s.hasHeader && equalsIgnoreCase(s.name, section)) return true;
    return false;
}

std::vector<std::string> ProfileDocument::sectionNames() const {
    std::vector<std::string> names;
    for (const Section& s : sections_) {
        if (!s.hasHeader) continue;
        bool seen = false;
        for (const std::string& n : names)
            seen = seen || equalsIgnoreCase(n, s.name);
        if (!seen) names.push_back(s.name);
    }
    return names;
}

std::vector<std::string> ProfileDocument::keys(std::string_view section) const {
    std::vector<std::string> out;
    for (const Section& s : sections_) {
        if (!s.hasHeader || !equalsIgnoreCase(s.name, section)) continue;
        for (const Line& l : s.lines) {
            if (!l.entry) continue;
            bool seen = false;
            for (const std::string& k : out)
                seen = seen || equalsIgnoreCase(k, l.key);
            if (!seen) out.push_back(l.key);
        }
    }
    return out;
}

bool profileFileWritable(const std::string& path) {
    return replaceable(path);
}

bool ProfileDocument::save(const std::string& path) const {
    // Replacing a symbolic link would cut it; write to the file it names instead.
    std::string target = path;
    if (isSymbolicLink(path)) {
        target = resolvedPath(path);
        if (target.empty()) return false;
    }
    if (!profileFileWritable(target)) return false;

    const std::string folder = folderOf(target);
    const auto end = target.find_last_of(kFolderSeparators);
    const std::string name = target.substr(end == std::string::npos ? 0 : end + 1);
    removeDeadSaves(folder, name);
    SystemFile file;
    std::string temp;
    if (createLockedTemp(folder, name, file, temp) != 0) return false;

    // The data reach the disk before the rename makes them the file: after a crash the
    // name holds the old text or the new one. The lock is held until after the rename.
    const bool ok = file.takePermissionsOf(target) == 0 && file.append(text()) == 0 && file.flush() == 0 &&
                    replaceFile(temp, target) == 0;
    if (!ok) {
        // Closed first: on Windows the name of an open file would stay taken.
        file.close();
        removeFile(temp);
    }
    return ok;
}

std::string getProfileString(std::string_view section, std::string_view key, std::string_view defaultValue,
                             const std::string& path) {
    ProfileDocument doc;
    doc.load(path);
    const auto v = doc.get(section, key);
    return v ? *v : std::string(defaultValue);
}

bool writeProfileString(std::string_view section, std::string_view key, std::string_view value,
                        const std::string& path) {
    ProfileDocument doc;
    if (doc.load(path) == ProfileDocument::LoadStatus::Unreadable) return false;
    return doc.set(section, key, value) && doc.save(path);
}

namespace {

// A removal from the file: `remove` tells whether it changed the document, which is then
// saved. A missing file has nothing to remove; an unreadable one is never overwritten.
template <class Remove> bool removeFromProfile(const std::string& path, Remove remove) {
    ProfileDocument doc;
    switch (doc.load(path)) {
    case ProfileDocument::LoadStatus::Unreadable:
        return false;
    case ProfileDocument::LoadStatus::Missing:
        return true;
    case ProfileDocument::LoadStatus::Loaded:
        break;
    }
    return !remove(doc) || doc.save(path);
}

} // namespace

bool deleteProfileEntry(std::string_view section, std::string_view key, const std::string& path) {
    return removeFromProfile(path, [&](ProfileDocument& doc) { return doc.removeEntry(section, key); });
}

bool deleteProfileSection(std::string_view section, const std::string& path) {
    return removeFromProfile(path, [&](ProfileDocument& doc) { return doc.removeSection(section); });
}

std::vector<std::string> getProfileSectionKeys(std::string_view section, const std::string& path) {
    ProfileDocument doc;
    doc.load(path);
    return doc.keys(section);
}

std::vector<std::string> getProfileSectionNames(const std::string& path) {
    ProfileDocument doc;
    doc.load(path);
    return doc.sectionNames();
}

} // namespace arti::platform
