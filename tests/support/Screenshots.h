// Screenshots of windows for a person to look at: saved into $ARTI_SCREENSHOTS (set by
// the build for the Qt tests); nothing is saved when it is not set.
#pragma once

#include <QDir>
#include <QString>
#include <QWidget>

namespace arti::test {

// False only when a screenshot was wanted and could not be saved.
inline bool saveScreenshot(QWidget& w, const QString& name) {
    const QString dir = qEnvironmentVariable("ARTI_SCREENSHOTS");
    if (dir.isEmpty()) return true;
    QDir().mkpath(dir);
    return w.grab().save(dir + QLatin1Char('/') + name);
}

} // namespace arti::test
