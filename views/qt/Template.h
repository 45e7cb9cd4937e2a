// The window templates of the secondary windows: their .ui files give every control's
// geometry in dialog units, as the original templates do, and the face converts them
// with the base units of the dialog font when it is built.
#pragma once

#include <QFont>
#include <QSize>
#include <QString>

class QDialog;
class QLabel;
class QPushButton;
class QWidget;

namespace arti::qt {

// The dialog font of the windows: Liberation Sans, 8 points.
QFont dialogFont();

// Gives the window the dialog font, converts the geometry of each of its direct child
// widgets from dialog units to pixels and fixes its client size to `size` dialog units.
void layoutInDialogUnits(QWidget* window, const QSize& size);

// No button of the window is pressed by Enter unless it has the focus (the windows
// have no OK command).
void noDefaultButtons(QDialog* window);

// A button that shows one of the program's images (with its tooltip as the only text),
// named for screen readers.
void setButtonImage(QPushButton* button, const QString& image);
// A label that shows an image, kept in proportion and centred.
void setLabelImage(QLabel* label, const QString& image);

} // namespace arti::qt
