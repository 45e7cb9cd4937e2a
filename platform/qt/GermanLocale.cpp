#include "platform/qt/GermanLocale.h"

#include <QByteArray>
#include <QLocale>
#include <QtGlobal>

#include <optional>

namespace arti::qt {

namespace {
// LC_ALL as the program found it, while the German one stands in for it.
std::optional<QByteArray>& savedLcAll() {
    static std::optional<QByteArray> saved;
    return saved;
}
bool prepared = false;
} // namespace

void prepareGermanLocale() {
    if (qEnvironmentVariableIsSet("LC_ALL")) savedLcAll() = qgetenv("LC_ALL");
    qputenv("LC_ALL", "de_DE.UTF-8");
    prepared = true;
}

void fixGermanLocale() {
    // Reading the system locale once fixes it from the environment set above.
    (void)QLocale::system();
    if (prepared) {
        if (savedLcAll())
            qputenv("LC_ALL", *savedLcAll());
        else
            qunsetenv("LC_ALL");
        savedLcAll().reset();
        prepared = false;
    }
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
}

} // namespace arti::qt
