#pragma once

// A driver for the window: it finds controls by name and reads what the user would see.

#include "card_data/mdlZorv.h"
#include "search_window/frmMain.h"

#include <QListView>
#include <QPlainTextEdit>
#include <QTabWidget>
#include <QTest>

#include <memory>

namespace windowDriver {

// "a b c" -> {"a", "b", "c"}
inline QStringList names(const char16_t *spaceSeparated)
{
    return QString::fromUtf16(spaceSeparated).split(u' ', Qt::SkipEmptyParts);
}

// The filter controls and name list of each page, which the tab switch enables and disables.
inline const QStringList monsterFilters =
    names(u"cmbType cmbMazoku cmbLevel chkKouka chkDuelistC(0) chkDuelistC(1) chkDuelistC(2) "
          u"txtCostC optCostC(0) optCostC(1) txtAP optAP(0) optAP(1) txtDP optDP(0) optDP(1) "
          u"lstMonstarName");
inline const QStringList magicFilters =
    names(u"cmbMagic chkDuelistM(0) chkDuelistM(1) chkDuelistM(2) txtCostM optCostM(0) "
          u"optCostM(1) lstMagicName");

class Window
{
public:
    // Loads the cards, then makes, fills and shows the window.
    void open(const QStringList &cardLines) { open(cardLines.join(u"\r\n")); }
    void open(const QString &cardText)
    {
        mdlZorv::loadCardText(cardText);
        show();
    }
    void show()
    {
        window_ = std::make_unique<frmMain>();
        window_->FormInit();
        window_->show();
        window_->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(window_.get()));
    }
    void close() { window_.reset(); }
    frmMain *get() const { return window_.get(); }

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

    // Clicks an entry of a name list and returns what its page's details box then shows.
    QString showEntry(const QString &list, int row) const
    {
        auto *view = control<QListView>(list);
        const QModelIndex entry = view->model()->index(row, 0);
        view->scrollTo(entry);
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, view->visualRect(entry).center());
        const bool monsters = list == u"lstMonstarName";
        return control<QPlainTextEdit>(monsters ? u"txtMonstarInf"_qs : u"txtMagicInf"_qs)
            ->toPlainText();
    }

    void pressEnter(const QString &box, Qt::Key key = Qt::Key_Return,
                    Qt::KeyboardModifiers modifiers = {}) const
    {
        QTest::keyClick(control(box), key, modifiers);
    }

    void showPage(int page) const
    {
        auto *tabs = control<QTabWidget>(u"SSTab"_qs);
        QTest::mouseClick(tabs->tabBar(), Qt::LeftButton, {},
                          tabs->tabBar()->tabRect(page).center());
    }

private:
    std::unique_ptr<frmMain> window_;
};

} // namespace windowDriver
