#include "web/WebCheck.h"

#include "cli/AnswerBox.h"
#include "cli/Checker.h"
#include "cli/Report.h"
#include "cli/Summary.h"
#include "core/Text.h"
#include "run/CheckEngine.h"
#include "views/MeldWnd.h"
#include "views/SatzWnd.h"

#include <nlohmann/json.hpp>

#include <array>
#include <filesystem>
#include <sstream>
#include <utility>

namespace arti::web {

namespace fs = std::filesystem;
using Json = nlohmann::ordered_json;

namespace {

// The page's option names, the checker's option each stands for and its label on the page.
struct OptionName {
    const char* key;
    const char* option;
    const char* label;
};
constexpr std::array kTextOptions{
    OptionName{"currency", "--waehrung", "Währung"},
    OptionName{"country", "--land", "Ländercodes"},
    OptionName{"dateFrom", "--datum-von", "Datum von"},
    OptionName{"dateTo", "--datum-bis", "Datum bis"},
};
constexpr std::array kAnswerOptions{
    OptionName{"continueAfterLengthFault", "--bei-laengenfehler-weiter", "Bei Satzlängenfehler weiterprüfen"},
    OptionName{"deleteOldTexts", "--alte-texte-loeschen", "Alte Langtexte löschen"},
    OptionName{"remakeTextStore", "--textspeicher-neu", "Beschädigte Langtexttabelle neu anlegen"},
    OptionName{"widenDateWindow", "--datum-anpassen", "Datumsfenster bei Bedarf erweitern"},
    OptionName{"adoptCurrency", "--waehrung-uebernehmen", "Abweichende Währung übernehmen"},
};

// A switch of the page: true, false, or left out (the default).
bool readSwitch(const Json& from, const char* key, const char* label, std::optional<bool>& out,
                std::string& error) {
    const auto it = from.find(key);
    if (it == from.end() || it->is_null()) return true;
    if (!it->is_boolean()) {
        error = std::string("Ungültiger Wert für ") + label + " (ja oder nein erwartet)";
        return false;
    }
    out = it->get<bool>();
    return true;
}

// The checker's option names in a message, as the page calls them.
std::string withPageNames(std::string message) {
    for (const auto& list :
         {std::span<const OptionName>(kTextOptions), std::span<const OptionName>(kAnswerOptions)})
        for (const OptionName& n : list)
            if (const auto at = message.find(n.option); at != std::string::npos)
                message.replace(at, std::string_view(n.option).size(), n.label);
    return message;
}

// One line: the line breaks of a message joined by blanks.
std::string oneLine(std::string_view text) {
    std::string out;
    for (const char c : text) {
        if (c == '\r') continue;
        out += c == '\n' ? ' ' : c;
    }
    return out;
}

} // namespace

bool optionsFromJson(const std::string& json, cli::CheckOptions& out, std::string& error) {
    const Json given = Json::parse(json, nullptr, false);
    if (given.is_discarded() || !(given.is_object() || given.is_null())) {
        error = "Die Optionen sind kein JSON-Objekt";
        return false;
    }
    const Json options = given.is_null() ? Json::object() : given;
    std::vector<std::string> args;
    for (const OptionName& n : kTextOptions) {
        const auto it = options.find(n.key);
        if (it == options.end() || it->is_null()) continue;
        if (!it->is_string()) {
            error = std::string("Ungültiger Wert für ") + n.label;
            return false;
        }
        args.push_back(std::string(n.option) + "=" + it->get<std::string>());
    }
    std::optional<bool> fieldChecks, characterCheck;
    if (!readSwitch(options, "fieldChecks", "Feldprüfung", fieldChecks, error) ||
        !readSwitch(options, "characterCheck", "Zeichenprüfung", characterCheck, error))
        return false;
    if (fieldChecks == false) args.emplace_back("--ohne-feldpruefung");
    if (characterCheck == false) args.emplace_back("--ohne-zeichenpruefung");
    const auto answers = options.find("answers");
    if (answers != options.end() && !answers->is_null()) {
        if (!answers->is_object()) {
            error = "Die Antworten sind kein JSON-Objekt";
            return false;
        }
        for (const OptionName& n : kAnswerOptions) {
            std::optional<bool> answer;
            if (!readSwitch(*answers, n.key, n.label, answer, error)) return false;
            if (answer) args.push_back(std::string(n.option) + (*answer ? "=ja" : "=nein"));
        }
    }
    args.emplace_back("--");
    args.emplace_back("Datei");
    cli::CheckOptions parsed;
    if (!cli::parseOptions(args, parsed, error)) {
        error = withPageNames(error);
        return false;
    }
    parsed.files.clear();
    out = std::move(parsed);
    return true;
}

// Keeps the findings for the page's list up to kListLimit (counts and groups go on) and
// lists them through the findings window's logic, which groups and filters them.
class WebCheck::Listing final : public IFindingObserver, private IRecordJump, private IMeldView {
public:
    explicit Listing(FileFindings& findings) : findings_(findings), window_(*this, findings) {
        findings_.keepList(true);
        findings_.fileChosen();
        window_.attachView(this);
    }
    void finding(const Finding& f) override {
        if (findings_.entries().size() >= kListLimit) findings_.keepList(false);
        findings_.finding(f);
    }
    // After the check: the groups and the list, as the window shows them.
    void setUp() { window_.SETUP(); }
    bool cut() const { return findings_.count() > findings_.entries().size(); }
    MELD_WND& window() { return window_; }

private:
    void showRecordAt(long long) override {}
    void showSummary(const std::string&) override {}
    void showGroups(const std::vector<GroupRow>&) override {}
    void markGroup(std::optional<std::size_t>) override {}
    void showFindings(std::size_t, const std::string&) override {}
    void enableAll(bool) override {}

    FileFindings& findings_;
    MELD_WND window_;
};

// What the viewer's record step shows: the record's text, its type and its field table.
class RecordCapture final : public SilentRunDisplay {
public:
    RecordCapture() : SilentRunDisplay(true) {}
    void showRecordType(std::string_view type) override { type_ = type; }
    void showRecordText(std::string_view first) override {
        lines_.clear();
        lines_.emplace_back(first);
    }
    void showRecordContinuation(std::optional<std::string_view> second,
                                std::optional<std::string_view> third) override {
        if (second) lines_.emplace_back(*second);
        if (third) lines_.emplace_back(*third);
    }
    void clearList() override { fields_ = Json::array(); }
    void showFields(const FieldTable& table) override {
        fields_ = Json::array();
        for (std::size_t r = 0; r < table.size(); ++r) {
            const auto col = [&](FieldCol c) { return ansiToUtf8(table.column(r, c)); };
            fields_.push_back(Json{{"nr", col(FieldCol::Nr)},
                                   {"name", col(FieldCol::Name)},
                                   {"content", col(FieldCol::Inhalt)},
                                   {"length", col(FieldCol::Laenge)},
                                   {"type", col(FieldCol::Typ)},
                                   {"mk", col(FieldCol::MK)},
                                   {"pos", col(FieldCol::Pos)}});
        }
    }
    void sequenceViewAvailable(bool available) override { sequence_ = available; }
    void clearSequenceList() override { sequence_ = false; }

    void forget() {
        type_.clear();
        lines_.clear();
        fields_ = Json::array();
        sequence_ = false;
    }
    Json view() const {
        Json lines = Json::array();
        for (const std::string& l : lines_)
            lines.push_back(ansiToUtf8(l));
        return Json{{"recordType", ansiToUtf8(type_)}, {"lines", lines}, {"fields", fields_}};
    }
    bool sequence() const { return sequence_; }

private:
    std::string type_;
    std::vector<std::string> lines_;
    Json fields_ = Json::array();
    bool sequence_ = false;
};

// The file opened a second time, as the main window holds it after a run: a finding's
// record is read and checked as a step by hand reads it, into a log of its own (the
// check's log was put aside as the check wrote it). It works in the check's folder, so a
// 01/96 article shows the long texts the check stored; it never deletes them.
class WebCheck::Viewer final : private IViewerOwner {
public:
    Viewer(const std::string& path, const RunParameters& parameters, const cli::CheckParameters& p)
        : answers_(viewerAnswers(), box_) {
        ServicesScope scope(&box_);
        run_.parameters = parameters;
        engine_.chooseFile(pathAsEngineText(path));
        RunOptions& o = run_.options;
        o.popups = false;
        o.listDisplay = true;
        o.fieldChecks = p.fieldChecks;
        o.asciiCheckOff = p.asciiCheckOff;
    }
    ~Viewer() {
        ServicesScope scope(&box_);
        engine_.closeTextTable();
        engine_.closeFiles();
    }
    Viewer(const Viewer&) = delete;
    Viewer& operator=(const Viewer&) = delete;

    Json show(long long offset) {
        ServicesScope scope(&box_);
        if (!run_.fileReady) return nullptr;
        display_.forget();
        engine_.showRecordAt(offset);
        Json view = display_.view();
        view["version"] = cli::versionName(run_.version);
        view["offset"] = groupedNumber(offset);
        view["article"] = display_.sequence() ? article() : Json(nullptr);
        return view;
    }

private:
    // The viewer never deletes or remakes the check's long texts.
    static cli::Answers viewerAnswers() {
        cli::Answers a;
        a.deleteOldTexts = false;
        a.remakeTextStore = false;
        return a;
    }
    // The article of the head record at hand, as the sequence viewer shows it: the value
    // of every label (numbered as the sequence window's) and the text box.
    Json article() {
        SATZ_WND sequence(*this, run_);
        sequence.SETUP(run_.CPUFFER_, run_.version, run_.CCHR0_, run_.LASCII_);
        Json labels = Json::array();
        for (int n = 0; n <= kLastLabel; ++n)
            labels.push_back(ansiToUtf8(sequence.form().label(n)));
        std::string text = ansiToUtf8(sequence.text());
        std::erase(text, '\r');
        sequence.end();
        return Json{{"labels", labels}, {"text", text}};
    }
    bool LIESSATZ() override { return engine_.LIESSATZ(); }
    void OFFSET() override {}
    void ISCHILD(bool) override {}

    cli::AnsweringMessageBox box_;
    cli::OptionAnswers answers_;
    CheckRun run_;
    RecordCapture display_;
    CheckEngine engine_{run_, display_, &run_, &answers_};
};

WebCheck::WebCheck(std::string input, std::string name, std::string work, const cli::CheckOptions& options)
    : input_(std::move(input)), name_(std::move(name)), work_(std::move(work)),
      parameters_(cli::resolveParameters(options)), listing_(std::make_unique<Listing>(findings_)) {}

WebCheck::~WebCheck() = default;

void WebCheck::run(cli::IProgressObserver* progress) {
    cli::clearInterrupt();
    cli::RunEnvironment env;
    env.findings = listing_.get();
    env.observer = progress;
    env.progressFrom = 0;
    // The page's Stop is read at each progress call: ten times in the 100 ms it may take.
    env.progressEvery = std::chrono::milliseconds(10);
    // The file is checked from its own folder, so that the report names it as given.
    const fs::path before = fs::current_path();
    fs::current_path(input_);
    result_ = cli::checkFile(name_, work_, parameters_, env);
    fs::current_path(before);
    if (result_.outcome == cli::Outcome::Interrupted) result_.reason = "vom Benutzer abgebrochen";
    cli::clearInterrupt();
    // The log goes into a folder of its own: the viewer opens the file in the check's
    // folder, with the long texts the check stored, and writes a log of its own there.
    std::error_code ec;
    const fs::path kept = fs::path(work_) / "pruefung" / "Error.log";
    fs::create_directories(kept.parent_path(), ec);
    if (!ec && fs::exists(result_.logPath, ec)) {
        fs::rename(result_.logPath, kept, ec);
        if (!ec) result_.logPath = kept.string();
    }
    listing_->setUp();
    std::ostringstream line;
    cli::JsonReport(line, false).fileDone(result_);
    report_ = line.str();
}

std::string WebCheck::resultJson() const {
    Json groups = Json::array();
    for (const GroupRow& g : listing_->window().groups())
        groups.push_back(Json{{"count", g.count},
                              {"errors", g.errors},
                              {"kind", g.kind},
                              {"recordType", ansiToUtf8(g.recordType)},
                              {"field", g.field},
                              {"example", ansiToUtf8(g.example)},
                              {"share", g.share}});
    std::string outcome = result_.shownOutcome;
    const std::string summary = groupedNumber(static_cast<long long>(result_.messages)) + " Meldungen, " +
                                groupedNumber(static_cast<long long>(result_.errors)) + " Fehler, " +
                                groupedNumber(static_cast<long long>(groups.size())) + " Gruppen";
    Json j{{"report", Json::parse(report_, nullptr, false)},
           {"outcomeText", outcome},
           {"summary", summary},
           {"groups", groups},
           {"findings", findings_.entries().size()},
           {"listCut", listing_->cut()}};
    return j.dump(-1, ' ', false, Json::error_handler_t::replace);
}

std::string WebCheck::rowsJson(int group, std::size_t from, std::size_t count) {
    MELD_WND& window = listing_->window();
    const std::optional<std::size_t> chosen =
        group < 0 ? std::nullopt : std::optional<std::size_t>(static_cast<std::size_t>(group));
    if (window.chosenGroup() != chosen) window.chooseGroup(chosen);
    const std::size_t total = window.findingCount();
    Json rows = Json::array();
    for (std::size_t i = from; i < total && i < from + count; ++i) {
        const FindingRow r = window.findingRow(i);
        rows.push_back(Json{{"record", r.record},
                            {"offset", r.offset},
                            {"position", r.position},
                            {"text", oneLine(ansiToUtf8(r.text))},
                            {"error", r.error}});
    }
    return Json{{"group", group}, {"from", from}, {"total", total}, {"rows", rows}}.dump(
        -1, ' ', false, Json::error_handler_t::replace);
}

std::string WebCheck::recordJson(long long offset) {
    if (!viewer_) {
        // The viewer works in the check's folder (see Viewer).
        const std::string path = input_ + "/" + name_;
        viewer_ = std::make_unique<Viewer>(path, cli::runParameters(path, work_, parameters_), parameters_);
    }
    return Json{{"view", viewer_->show(offset)}}.dump(-1, ' ', false, Json::error_handler_t::replace);
}

std::string WebCheck::logPath() const {
    return result_.logPath;
}

} // namespace arti::web
