#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QPointer>
#include <QStringList>
#include <QTimer>

#include <array>
#include <functional>

class SearchPage;
class frmCardTable;
class QTabWidget;
class QWidget;

// Keeps the card table window showing what the page in front lists, rows of the cards shown: at
// once when the cards shown or the page in front change, and at most five times a second while
// the list follows the user's typing (painting the table's rows anew costs more than a
// keystroke's new list). A row chosen in the table is selected in the page's list. The table
// opens beside the main window where the screen has room for it, else over it, filling the
// screen; Ctrl+L in either window brings the other to the front.
class CardTableFollower final : public QObject
{
    Q_OBJECT

public:
    CardTableFollower(QWidget *mainWindow, std::array<SearchPage *, 2> pages, QTabWidget *tabs);

    // Opens the table window beside the main window, or brings it to the front.
    void open();
    // The cards shown changed: the table shows the new ones at once.
    void showNow();
    // The files the table never saves over.
    void setFilesInUse(std::function<QStringList()> filesInUse);
    // The find words, folded (textFold::words), which the table marks in names and effect texts.
    void setFindWords(const QStringList &foldedWords);

Q_SIGNALS:
    // The table window opened: it shows the readings of the names, once they are made.
    void opened();

private:
    const SearchPage &frontPage() const;
    void followList();
    void placeTable() const;
    void showCard(qsizetype tableRow) const;

    QWidget *mainWindow_;
    std::array<SearchPage *, 2> pages_;
    QTabWidget *tabs_;
    std::function<QStringList()> filesInUse_;
    QStringList findWords_;
    QPointer<frmCardTable> table_; // while open
    QElapsedTimer shown_;          // since its rows were last shown
    QTimer due_;                   // when they are to be shown next
};
