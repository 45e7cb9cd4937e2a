// The program's locale is German on a machine set to English: the file dialog's sizes
// and dates, the week days of a date picker, and the environment of programs it starts
// stays the user's.
#include "platform/qt/GermanLocale.h"
#include "tests/support/TempDir.h"

#include <QApplication>
#include <QCalendarWidget>
#include <QFile>
#include <QFileSystemModel>
#include <QTest>

using namespace arti;

class GermanLocaleTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void formatsAreGermanAndTheEnvironmentStays() {
        QCOMPARE(qgetenv("LC_ALL"), QByteArray("en_US.UTF-8"));
        QCOMPARE(QLocale().dayName(1, QLocale::ShortFormat), QStringLiteral("Mo."));
        QCOMPARE(QLocale().toString(1234.5, 'f', 2), QStringLiteral("1.234,50"));

        test::TempDir dir;
        const QString folder = QString::fromStdString(dir.folder());
        QFile file(folder + QStringLiteral("data.bin"));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(QByteArray(2000, 'x'));
        file.close();
        QFileSystemModel model;
        model.setRootPath(folder);
        const QModelIndex name = model.index(folder + QStringLiteral("data.bin"));
        QTRY_VERIFY(!model.data(name.siblingAtColumn(1)).toString().isEmpty());
        QCOMPARE(model.data(name.siblingAtColumn(1)).toString(), QStringLiteral("1,95 KiB"));
        const QString modified = model.data(name.siblingAtColumn(3)).toString();
        QVERIFY2(modified.contains(QLatin1Char('.')) && !modified.contains(QStringLiteral("AM")),
                 qPrintable(modified));

        QCalendarWidget picker;
        QCOMPARE(picker.locale().language(), QLocale::German);
    }
};

int main(int argc, char** argv) {
    // A machine set to English, as on many servers and build machines.
    qputenv("LANG", "en_US.UTF-8");
    qputenv("LC_ALL", "en_US.UTF-8");
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qt::prepareGermanLocale();
    QApplication app(argc, argv);
    qt::fixGermanLocale();
    GermanLocaleTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "german_locale_test.moc"
