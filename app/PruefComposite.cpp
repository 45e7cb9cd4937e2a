// Composite checks between the records of one article.
#include "app/PruefWnd.h"
#include "core/Text.h"

namespace arti {

namespace {

// The record type letter, field 3 and field 4 of a B or Z record; both versions place
// the switch at position 3 and the 15 characters of the article number behind it.
struct ArticleReference {
    std::string recordType, articleSwitch, articleNumber;
};

ArticleReference cut(const std::string& record) {
    const auto part = [&record](std::size_t from, std::size_t count) {
        return from < record.size() ? record.substr(from, count) : std::string();
    };
    return {part(0, 1), part(2, 1), part(3, 15)};
}

} // namespace

void PRUEF_WND::VERBUND0196(const std::string& record) {
    const ArticleReference r = cut(record);
    VERBUND0196(r.recordType, r.articleSwitch, r.articleNumber);
}

void PRUEF_WND::VERBUND0590(const std::string& record) {
    const ArticleReference r = cut(record);
    VERBUND0590(r.recordType, r.articleSwitch, r.articleNumber);
}

void PRUEF_WND::VERBUND0196(std::string_view recordType, std::string_view articleSwitch,
                            std::string_view articleNumber) {
    PruefCheckContext ctx(*this);
    checkArticleNumber(ctx, run.compositeState(), Version::V0196, recordType, articleSwitch, articleNumber);
}

void PRUEF_WND::VERBUND0590(std::string_view recordType, std::string_view articleSwitch,
                            std::string_view articleNumber) {
    PruefCheckContext ctx(*this);
    checkArticleNumber(ctx, run.compositeState(), Version::V0590, recordType, articleSwitch, articleNumber);
}

} // namespace arti
