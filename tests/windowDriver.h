#pragma once

// A driver for the search window in the tests: it opens the window on cards, finds controls by
// name and reads what the user would see. Its steps that can fail report why and return false,
// for the caller to stop: QVERIFY(step). Every card in these tests is made up.

#include "card_data/mdlZorv.h"
#include "search_window/cardFileSession.h"
#include "search_window/frmMain.h"
#include "testFiles.h"

#include <QAbstractItemModelTester>
#include <QApplication>
#include <QKeyEvent>
#include <QListView>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <memory>
#include <vector>

namespace windowDriver {

// "a b c" -> {"a", "b", "c"}
inline QStringList names(const char16_t *spaceSeparated)
{
    return QString::fromUtf16(spaceSeparated).split(u' ', Qt::SkipEmptyParts);
}

// The named controls on a page of the window's tabs.
inline QStringList controlsOnPage(const QWidget *window, int page)
{
    QStringList found;
    const auto *tabs = window->findChild<QTabWidget *>(u"SSTab"_qs);
    for (const QWidget *control : tabs->widget(page)->findChildren<QWidget *>()) {
        if (!control->objectName().isEmpty() && !control->objectName().startsWith(u"qt_"))
            found << control->objectName();
    }
    return found;
}

inline const QStringList cards = {
    u"001,Alpha,1300,800,天使,光,4,3,A-1,守る,T"_qs,
    u"002,Beta,42,0,獣,闇,4,0,B-2,,TJ"_qs,
    u"003,Gamma,40,1500,獣,光,7,5,C-3,走る,J"_qs,
    u"101,Spell,,,魔法,,,2,S-1,光る,TJ"_qs,
    u"102,Pit,,,罠,,,3,S-2,,O"_qs,
};

// Types text as key presses with the text in them: QTest::keyClicks sends Latin-1 only.
inline void typeText(QWidget *widget, const QString &text)
{
    for (const QChar c : text) {
        QKeyEvent press(QEvent::KeyPress, c == u'\b' ? Qt::Key_Backspace : 0, Qt::NoModifier, c);
        QApplication::sendEvent(widget, &press);
    }
}

class Window
{
public:
    // Loads the cards, then makes, fills and shows the window.
    [[nodiscard]] bool open(const QStringList &cardLines)
    {
        mdlZorv::loadCardText(cardLines.join(u"\r\n"));
        return show();
    }
    // Reads the card file as the program starts: followed from before it is read, the window
    // showing what the session reads from then on.
    [[nodiscard]] bool openFile(const QString &path)
    {
        close();
        session_ = std::make_unique<CardFileSession>();
        session_->load(path);
        if (!show())
            return false;
        window_->followCardFile(session_.get());
        return true;
    }
    // Shows the cards loaded; every change of either name list is checked against the rules of
    // item models as long as the window lives.
    [[nodiscard]] bool show()
    {
        window_.reset();
        modelTesters_.clear();
        window_ = std::make_unique<frmMain>();
        for (const QString &list : names(u"lstMonstarName lstMagicName"))
            modelTesters_.push_back(std::make_unique<QAbstractItemModelTester>(
                control<QListView>(list)->model(),
                QAbstractItemModelTester::FailureReportingMode::QtTest));
        window_->FormInit();
        window_->show();
        window_->activateWindow();
        return QTest::qWaitForWindowActive(window_.get());
    }
    void close()
    {
        modelTesters_.clear();
        window_.reset();
        session_.reset();
    }
    frmMain *get() const { return window_.get(); }
    CardFileSession *session() const { return session_.get(); }

    // A control the test names must exist: without it the test is wrong, and cannot go on.
    template <typename T = QWidget> T *control(const QString &name) const
    {
        T *found = window_->findChild<T *>(name);
        if (!found)
            qFatal("no control %s", qPrintable(name));
        return found;
    }

    QStringList entries(const QString &list) const
    {
        const QAbstractItemModel *model = control<QListView>(list)->model();
        QStringList texts;
        for (int row = 0; row < model->rowCount(); ++row)
            texts << model->index(row, 0).data().toString();
        return texts;
    }
    QStringList monsters() const { return entries(u"lstMonstarName"_qs); }

    QString details(const QString &list) const
    {
        const bool monsters = list == u"lstMonstarName";
        return control<QPlainTextEdit>(monsters ? u"txtMonstarInf"_qs : u"txtMagicInf"_qs)
            ->toPlainText();
    }

    // Clicks an entry of a name list, which must be there.
    [[nodiscard]] bool click(const QString &list, int row) const
    {
        auto *view = control<QListView>(list);
        const QModelIndex entry = view->model()->index(row, 0);
        if (!entry.isValid()) {
            QTest::qFail("the list has no such entry", __FILE__, __LINE__);
            return false;
        }
        view->scrollTo(entry);
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, view->visualRect(entry).center());
        return view->currentIndex() == entry;
    }

    // Clicks a tab, which must then be in front.
    [[nodiscard]] bool showPage(int page) const
    {
        auto *tabs = control<QTabWidget>(u"SSTab"_qs);
        QTest::mouseClick(tabs->tabBar(), Qt::LeftButton, {},
                          tabs->tabBar()->tabRect(page).center());
        return tabs->currentIndex() == page;
    }

    // The message boxes open over the window.
    qsizetype openMessages() const
    {
        const auto boxes = window_->findChildren<QMessageBox *>();
        return std::count_if(boxes.begin(), boxes.end(),
                             [](auto *box) { return box->isVisible(); });
    }

private:
    std::unique_ptr<CardFileSession> session_;
    std::unique_ptr<frmMain> window_;
    std::vector<std::unique_ptr<QAbstractItemModelTester>> modelTesters_;
};

// Removes everything in a folder, a folder made where a file was included.
inline void emptyFolder(const QTemporaryDir &dir)
{
    for (const QFileInfo &entry :
         QDir(dir.path()).entryInfoList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot)) {
        if (entry.isDir() && !entry.isSymLink())
            QDir(entry.filePath()).removeRecursively();
        else
            QFile::remove(entry.filePath());
    }
}

} // namespace windowDriver
