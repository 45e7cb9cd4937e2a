// The program's help pages in a window of its own. F1 shows a page there; a link to
// another help page stays in the window, and only addresses of the web and of e-mail go
// to the desktop's applications. The pages are compiled into the program
// (":/help/<page>"), so help needs neither a browser nor the program folder.
#pragma once

#include "core/Services.h"

#include <QDialog>
#include <QUrl>

class QTextBrowser;

namespace arti::qt {

// The shell of the desktop program: documents and addresses through the desktop's
// shell (`desktop`), help pages in the help window.
class QtShell final : public IShell {
public:
    explicit QtShell(IShell& desktop) : desktop_(desktop) {}
    long open(Owner owner, const std::string& target, const std::string& verb,
              const std::string& parameters) override {
        return desktop_.open(owner, target, verb, parameters);
    }
    // Shows the page in the help window of the window that asked; 2 (file not found)
    // when the program has no such page.
    long showHelp(Owner owner, const std::string& page) override;

private:
    IShell& desktop_;
};

// One window of help pages, beside the window it belongs to and closed with it.
class HelpWindow final : public QDialog {
    Q_OBJECT
public:
    HelpWindow(IShell& desktop, Owner owner, QWidget* parent);

    // Shows a page of the program's help; false when there is none of that name.
    bool showPage(const QString& page);
    QTextBrowser* browser() const { return browser_; }

    // The help window of `parent` (one per window), made when there is none yet.
    static HelpWindow* of(IShell& desktop, Owner owner, QWidget* parent);

private:
    void follow(const QUrl& link);

    IShell& desktop_;
    Owner owner_;
    QTextBrowser* browser_;
};

} // namespace arti::qt
