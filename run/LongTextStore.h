// The long texts of version 01/96: while a file is read forwards, the lines of its "T"
// records are collected per text key into the table VTEXT.DBF in the user data folder,
// so that the sequence viewer can show them whole. The run owns the store (the viewer
// reads its table); the engine prepares, fills and closes it, and the store reports
// through the findings it is handed.
#pragma once

#include "records/XBaseTable.h"

#include <memory>
#include <string>

namespace arti {

class IRunFindings;

class LongTextStore {
public:
    // Prepares the table at the choice of a 01/96 file whose announcement holds "T":
    // starts collecting, creates VTEXT.DBF when it is missing, offers to make it anew when
    // it is damaged, opens it with its index and, when it holds rows of an earlier run,
    // asks whether to delete them. The table lives in `dataFolder`.
    void prepare(IRunFindings& findings, const std::string& dataFolder);
    // Stores the lines of the text record read at `offset`.
    void DBTEXT(IRunFindings& findings, const std::string& record, long long offset);
    // Closes the table, when one is open, and reports texts it could not write.
    void close(IRunFindings& findings);

    // Text records are being collected.
    bool collecting() const { return TFLAG_; }
    void startCollecting() { TFLAG_ = true; }
    void stopCollecting() { TFLAG_ = false; }
    // The store may take the texts (the file preparation allows it; a refusal ends it).
    bool mayStore() const { return LZAP_; }
    void allowStoring() { LZAP_ = true; }
    // The open table, or none.
    const XBaseTable* table() const { return OSERVER_.get(); }
    XBaseTable* table() { return OSERVER_.get(); }
    // Takes an open table as the store's (for tools that show a table of their own).
    void useTable(std::unique_ptr<XBaseTable> table) { OSERVER_ = std::move(table); }
    // The key of the text being collected; empty between texts.
    const std::string& collectedKey() const { return CTEXTINDEX_; }
    // Why the store could not take the texts of the current file (Windows-1252); empty
    // while it could.
    const std::string& fault() const { return textStoreFault_; }
    // Nothing of the previous file's texts stays (an open table stays open).
    void reset();

private:
    bool openTable(IRunFindings& findings, const std::string& dataFolder);
    void reportFault(IRunFindings& findings, const std::string& text);

    bool TFLAG_ = false; // text records are being collected
    bool LZAP_ = false;  // the store may take them (set by the file preparation)
    std::string CTEXTINDEX_;
    std::unique_ptr<XBaseTable> OSERVER_;
    // A text record read at an offset up to this one is already stored.
    long long textStoredAt_ = -1;
    std::string textStoreFault_;
};

} // namespace arti
