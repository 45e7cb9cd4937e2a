// The functions the page's worker calls: check a file, then ask for its result, rows of
// its findings, the record of a finding and its log. Every text goes out as UTF-8 JSON in
// a buffer that stays valid until the next call.
#include "web/WebCheck.h"

#include <emscripten.h>

#include <map>
#include <memory>
#include <string>

namespace {

// The worker's progress display; it answers 1 when the user asked to stop.
EM_JS(int, arti_js_progress, (double bytes, double size, double records, double seconds),
      { return Module.onCheckProgress ? Module.onCheckProgress(bytes, size, records, seconds) : 0; });

class WorkerProgress final : public arti::cli::IProgressObserver {
public:
    void progress(const arti::cli::CheckProgress& p) override {
        if (arti_js_progress(static_cast<double>(p.position), static_cast<double>(p.size),
                             static_cast<double>(p.records), p.seconds) != 0)
            arti::cli::requestInterrupt();
    }
};

std::map<int, std::unique_ptr<arti::web::WebCheck>> g_checks;
int g_next = 1;
std::string g_out;
std::string g_error;

const char* out(std::string text) {
    g_out = std::move(text);
    return g_out.c_str();
}

arti::web::WebCheck* find(int id) {
    const auto it = g_checks.find(id);
    return it == g_checks.end() ? nullptr : it->second.get();
}

} // namespace

extern "C" {

// Checks the file `name` in the folder `input`; its log and long texts go to the folder
// `work`. Returns the check's number, or 0 with the reason in arti_error().
EMSCRIPTEN_KEEPALIVE int arti_check(const char* input, const char* name, const char* work,
                                    const char* options) {
    arti::cli::CheckOptions o;
    if (!arti::web::optionsFromJson(options, o, g_error)) return 0;
    auto check = std::make_unique<arti::web::WebCheck>(input, name, work, o);
    WorkerProgress progress;
    check->run(&progress);
    const int id = g_next++;
    g_checks[id] = std::move(check);
    return id;
}

EMSCRIPTEN_KEEPALIVE const char* arti_error() {
    return g_error.c_str();
}

EMSCRIPTEN_KEEPALIVE const char* arti_result(int id) {
    arti::web::WebCheck* c = find(id);
    return out(c ? c->resultJson() : "null");
}

EMSCRIPTEN_KEEPALIVE const char* arti_rows(int id, int group, double from, int count) {
    arti::web::WebCheck* c = find(id);
    if (!c || from < 0 || count < 0) return out("null");
    return out(c->rowsJson(group, static_cast<std::size_t>(from), static_cast<std::size_t>(count)));
}

EMSCRIPTEN_KEEPALIVE const char* arti_record(int id, double offset) {
    arti::web::WebCheck* c = find(id);
    return out(c && offset >= 0 ? c->recordJson(static_cast<long long>(offset)) : "null");
}

EMSCRIPTEN_KEEPALIVE const char* arti_log(int id) {
    arti::web::WebCheck* c = find(id);
    return out(c ? c->logPath() : "");
}

EMSCRIPTEN_KEEPALIVE void arti_release(int id) {
    g_checks.erase(id);
}

} // extern "C"
