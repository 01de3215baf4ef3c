// Qt's own texts in Japanese.
#pragma once

class QTranslator;

// Installs Qt's Japanese translations whatever the locale, so that what Qt itself shows
// is Japanese like the rest of the program: the standard buttons, the file, colour, print
// and page set-up dialogs, the print preview's tool tips, the editor's context menu.
// Japanese becomes the default locale too, for the file types in the file dialogs.
// Returns the installed translator, owned by the application object, or null when the
// translations are not installed (Qt's English texts remain).
QTranslator *InstallQtJapanese();
