// The program's formatting conventions are German whatever the machine's LANG: dates,
// numbers and file sizes in the date pickers, the list and the file dialog.
#pragma once

namespace arti::qt {

// Qt takes its system locale (which the file dialog uses for sizes and dates) from the
// environment when the application object is made. The program gives itself a German
// environment for that moment: call the first function before the QApplication is
// made and the second right after it.
void prepareGermanLocale();
// Fixes the German locale as Qt's system and default locale and gives the environment
// back as it was, so that programs the user opens from here keep the user's language.
void fixGermanLocale();

} // namespace arti::qt
