#include "search_window/findBar.h"

#include "card_rules/textFold.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QShortcut>
#include <QToolButton>

FindBar::FindBar(QWidget *window) : QWidget(window)
{
    setObjectName(QStringLiteral("findBar"));
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(6, 2, 4, 4);
    txtFind = new QLineEdit(this);
    txtFind->setObjectName(QStringLiteral("txtFind"));
    txtFind->setAccessibleName(QStringLiteral("カードを探す"));
    txtFind->setToolTip(QStringLiteral("番号、名前、効果の文のどれかに、空白で区切ったどの語も"
                                       "含むカードだけを一覧に残します (Esc で閉じる)"));
    txtFind->installEventFilter(this);
    lblFindCount = new QLabel(this);
    lblFindCount->setObjectName(QStringLiteral("lblFindCount"));
    cmdCloseFind = new QToolButton(this);
    cmdCloseFind->setObjectName(QStringLiteral("cmdCloseFind"));
    cmdCloseFind->setText(QStringLiteral("×"));
    cmdCloseFind->setAutoRaise(true);
    cmdCloseFind->setAccessibleName(QStringLiteral("探すのをやめる"));
    cmdCloseFind->setToolTip(cmdCloseFind->accessibleName());
    layout->addWidget(txtFind, 1);
    layout->addWidget(lblFindCount);
    layout->addWidget(cmdCloseFind);
    hide();

    // A shortcut of a hidden widget is off: Escape closes the bar only while it is open, from
    // anywhere in the window.
    auto *escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    escape->setContext(Qt::WindowShortcut);
    connect(escape, &QShortcut::activated, this, &FindBar::dismiss);
    connect(cmdCloseFind, &QToolButton::clicked, this, &FindBar::dismiss);
    connect(txtFind, &QLineEdit::textChanged, this, &FindBar::txtFind_Change);
}

void FindBar::open()
{
    // Its icon is loaded on first use: image plugins cost the start of the program several ms.
    txtFind->setClearButtonEnabled(true);
    show();
    txtFind->setFocus(Qt::ShortcutFocusReason);
    txtFind->selectAll();
}

void FindBar::dismiss()
{
    if (isHidden())
        return;
    txtFind->clear();
    hide();
    Q_EMIT closed();
}

void FindBar::showCount(qsizetype listed, qsizetype filtered)
{
    lblFindCount->setText(QStringLiteral("%1 / %2 枚").arg(listed).arg(filtered));
}

void FindBar::showPreparing()
{
    lblFindCount->setText(QStringLiteral("準備中…"));
}

void FindBar::showOutOfMemory()
{
    lblFindCount->setText(QStringLiteral("メモリー不足で探せません"));
}

bool FindBar::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == txtFind && event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent *>(event)->key() == Qt::Key_Tab &&
        static_cast<QKeyEvent *>(event)->modifiers() == Qt::NoModifier) {
        Q_EMIT tabPressed();
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

void FindBar::txtFind_Change()
{
    QStringList words = textFold::words(txtFind->text());
    if (words == words_)
        return;
    words_ = std::move(words);
    Q_EMIT wordsChanged(words_);
}
