#pragma once

class QLocale;
class QTranslator;

// Installs Qt's own translations for the locale: the words of its dialogs' buttons, file dialog
// and text boxes' context menus. They are looked for in Qt's translations folder and in a
// translations folder beside the program (as the Windows zip has it). Returns the installed
// translator, owned by the application, or null where there is none for the locale.
QTranslator *installQtTranslations(const QLocale &locale);
