#include "records/FileHandles.h"

#include "core/Text.h"
#include "records/DosError.h"

#include <algorithm>
#include <exception>
#include <memory>
#include <utility>
#include <vector>

namespace arti {

namespace {

constexpr int kInvalidAccessCode = 12;

struct Entry {
    FileHandle handle;
    std::unique_ptr<BufferedFile> file;
};

struct Table {
    std::vector<Entry> open;
    FileHandle next = 1;
};

// Set up before any code runs (no guard on each access: every record step asks for it):
// its members are constant-initialised where the library's vector allows it, and an
// all-zero vector is empty in the others.
Table g_table;

Table& table() {
    return g_table;
}

FileHandle adopt(std::unique_ptr<BufferedFile> file) {
    Table& t = table();
    const FileHandle h = t.next++;
    t.open.push_back(Entry{h, std::move(file)});
    files::detail::state.lastError = 0;
    return h;
}

FileHandle openWith(const std::string& fileName, platform::FileMode mode) {
    int err = 0;
    std::unique_ptr<BufferedFile> f;
    try {
        f = BufferedFile::open(systemPath(fileName), mode, err);
    } catch (const std::exception&) {
        err = platform::dos::kNotEnoughMemory;
    }
    if (!f) {
        files::setError(err);
        return 0;
    }
    return adopt(std::move(f));
}

} // namespace

namespace files {

void setError(int code) {
    files::detail::state.lastError = code;
}

BufferedFile* find(FileHandle handle) {
    for (Entry& e : table().open)
        if (e.handle == handle) return e.file.get();
    setError(platform::dos::kInvalidHandle);
    return nullptr;
}

IoResult write(BufferedFile& file, const char* src, std::size_t n) {
    const long long at = file.position();
    const IoResult r = file.write(src, n);
    for (Entry& e : table().open)
        if (e.file.get() != &file && e.file->sameFile(file)) e.file->patchCache(at, src, r.bytes);
    setError(r.error);
    return r;
}

bool namesOpenFile(FileHandle handle, const std::string& fileName) {
    const BufferedFile* f = find(handle);
    if (!f) return false;
    const std::optional<platform::FileIdentity> id = platform::fileIdentity(systemPath(fileName));
    return id && f->isFile(*id);
}

} // namespace files

FileHandle FOPEN(const std::string& fileName, int mode) {
    platform::FileMode flags;
    switch (mode & 3) {
    case FO_READ:
        break;
    case FO_WRITE:
        flags.read = false;
        flags.write = true;
        break;
    case FO_READWRITE:
        flags.write = true;
        break;
    default:
        files::detail::state.lastError = kInvalidAccessCode;
        return 0;
    }
    return openWith(fileName, flags);
}

FileHandle FCREATE(const std::string& fileName) {
    const FileHandle h =
        openWith(fileName, platform::FileMode{.write = true, .create = true, .truncate = true});
    if (h != 0) {
        // The file was emptied: what other handles of it have cached is gone.
        BufferedFile* created = files::find(h);
        for (Entry& e : table().open)
            if (e.file.get() != created && e.file->sameFile(*created)) e.file->dropCache();
        files::detail::state.lastError = 0;
    }
    return h;
}

bool FCLOSE(FileHandle handle) {
    auto& open = table().open;
    const auto it =
        std::find_if(open.begin(), open.end(), [&](const Entry& e) { return e.handle == handle; });
    if (it == open.end()) {
        files::setError(platform::dos::kInvalidHandle);
        return false;
    }
    const int err = it->file->close();
    open.erase(it);
    ++files::detail::state.closings;
    files::setError(err);
    return err == 0;
}

long long FSEEK(FileHandle handle, long long offset, SeekOrigin origin) {
    BufferedFile* f = files::find(handle);
    if (!f) return -1;
    long long base = 0;
    int err = 0;
    if (origin == SeekOrigin::Current) base = f->position();
    if (origin == SeekOrigin::End) base = f->length(err);
    long long target = 0;
    if (err == 0 && (__builtin_add_overflow(base, offset, &target) || target < 0))
        err = platform::dos::kInvalidParameter;
    files::setError(err);
    if (err != 0) return -1;
    f->setPosition(target);
    return target;
}

long long FTELL(FileHandle handle) {
    BufferedFile* f = files::find(handle);
    if (!f) return -1;
    files::setError(0);
    return f->position();
}

long long FLENGTH(FileHandle handle) {
    BufferedFile* f = files::find(handle);
    if (!f) return -1;
    int err = 0;
    const long long len = f->length(err);
    files::setError(err);
    return len;
}

bool FEOF(FileHandle handle) {
    BufferedFile* f = files::find(handle);
    if (!f) return true;
    int err = 0;
    const bool end = f->atEnd(err);
    files::setError(err);
    return end;
}

std::string FREADSTR(FileHandle handle, std::size_t count) {
    BufferedFile* f = files::find(handle);
    if (!f) return {};
    int err = 0;
    const long long len = f->length(err);
    // Never allocate more than the file still holds (a huge count is no reason to fail).
    const long long left = err == 0 ? std::max(0LL, len - f->position()) : 0;
    std::string out;
    try {
        out.resize(std::min(count, static_cast<std::size_t>(left)));
    } catch (const std::exception&) {
        files::setError(platform::dos::kNotEnoughMemory);
        return {};
    }
    const IoResult r = f->read(out.data(), out.size());
    out.resize(r.bytes);
    files::setError(err != 0 ? err : r.error);
    return out;
}

std::size_t FWRITE(FileHandle handle, std::string_view data) {
    BufferedFile* f = files::find(handle);
    if (!f) return 0;
    return files::write(*f, data.data(), data.size()).bytes;
}

int FERROR() {
    return files::detail::state.lastError;
}

} // namespace arti
