#include "search_window/windowControls.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QKeyEvent>
#include <QListView>
#include <QPlainTextEdit>
#include <QPointer>
#include <QProxyStyle>
#include <QRadioButton>
#include <QStyleOptionComboBox>
#include <QTextCharFormat>

namespace windowControls {

namespace {

constexpr int twipsPerPixel = 15;

// The window's layout is fixed and tight: the platform style's check marks and drop-down arrows
// are made a little smaller so that every caption fits in the place the layout gives it.
class CompactStyle final : public QProxyStyle
{
public:
    static constexpr int indicatorSize = 11;
    static constexpr int labelSpacing = 3;
    static constexpr int arrowWidth = 16;

    int pixelMetric(PixelMetric metric, const QStyleOption *option,
                    const QWidget *widget) const override
    {
        switch (metric) {
        case PM_IndicatorWidth:
        case PM_IndicatorHeight:
        case PM_ExclusiveIndicatorWidth:
        case PM_ExclusiveIndicatorHeight:
            return indicatorSize;
        case PM_CheckBoxLabelSpacing:
        case PM_RadioButtonLabelSpacing:
            return labelSpacing;
        default:
            return QProxyStyle::pixelMetric(metric, option, widget);
        }
    }

    QRect subControlRect(ComplexControl control, const QStyleOptionComplex *option, SubControl part,
                         const QWidget *widget) const override
    {
        if (control != CC_ComboBox)
            return QProxyStyle::subControlRect(control, option, part, widget);
        const QRect inner = option->rect.adjusted(2, 2, -2, -2);
        switch (part) {
        case SC_ComboBoxArrow:
            return visualRect(
                option->direction, option->rect,
                QRect(inner.right() - arrowWidth + 1, inner.top(), arrowWidth, inner.height()));
        case SC_ComboBoxEditField:
            return visualRect(option->direction, option->rect,
                              inner.adjusted(0, 0, -arrowWidth, 0));
        default:
            return QProxyStyle::subControlRect(control, option, part, widget);
        }
    }
};

QStyle *compactStyle()
{
    static QPointer<CompactStyle> style;
    if (!style) {
        style = new CompactStyle;
        style->setParent(qApp); // lives as long as the application
    }
    return style;
}

template <typename Control> Control *named(Control *control, const QString &name)
{
    control->setObjectName(name);
    control->setStyle(compactStyle());
    return control;
}

// Keeps the place but grows a check box or option button to the width of its mark and caption,
// and to the height of a line.
void placeFittingCaption(QWidget *control, const QString &caption, QRect place)
{
    const QFontMetrics metrics(control->font());
    const int width = CompactStyle::indicatorSize + CompactStyle::labelSpacing +
                      metrics.horizontalAdvance(caption);
    control->setGeometry(
        QRect(place.topLeft(), place.size().expandedTo(QSize(width, metrics.height()))));
}

// An option button on which Up and Down move within its group as Left and Right do, selecting
// the button they move to.
class OptionButton final : public QRadioButton
{
public:
    using QRadioButton::QRadioButton;

protected:
    void keyPressEvent(QKeyEvent *event) override
    {
        const int key = event->key() == Qt::Key_Up     ? Qt::Key_Left
                        : event->key() == Qt::Key_Down ? Qt::Key_Right
                                                       : event->key();
        if (key == event->key()) {
            QRadioButton::keyPressEvent(event);
            return;
        }
        QKeyEvent sideways(event->type(), key, event->modifiers(), event->text(),
                           event->isAutoRepeat(), event->count());
        QRadioButton::keyPressEvent(&sideways);
        event->setAccepted(sideways.isAccepted());
    }
};

// A name list on which the first Up or Down, while no entry is selected, selects the first entry:
// the list's current entry is then the first one, unselected, and the key would move past it.
class NameList final : public QListView
{
public:
    using QListView::QListView;

protected:
    void keyPressEvent(QKeyEvent *event) override
    {
        const bool upOrDown = event->key() == Qt::Key_Up || event->key() == Qt::Key_Down;
        if (upOrDown && event->modifiers() == Qt::NoModifier && model()->rowCount() > 0 &&
            !selectionModel()->hasSelection()) {
            setCurrentIndex(model()->index(0, 0));
            event->accept();
            return;
        }
        QListView::keyPressEvent(event);
    }
};

} // namespace

QRect fromTwips(int left, int top, int width, int height)
{
    return QRect(left / twipsPerPixel, top / twipsPerPixel, width / twipsPerPixel,
                 height / twipsPerPixel);
}

QFont windowFont()
{
    QFont font;
    font.setFamilies({QStringLiteral("ＭＳ ゴシック"), QStringLiteral("MS Gothic"),
                      QStringLiteral("IPAGothic"), QStringLiteral("Noto Sans Mono CJK JP"),
                      QStringLiteral("VL Gothic"), QStringLiteral("TakaoGothic")});
    font.setStyleHint(QFont::TypeWriter);
    font.setPointSize(9);
    font.setWeight(QFont::Normal);
    return font;
}

QTextCharFormat findMarkFormat()
{
    QTextCharFormat format;
    format.setBackground(QColor(255, 224, 102));
    format.setForeground(QColor(Qt::black));
    return format;
}

QString arrayMemberName(const char *array, int index)
{
    return QStringLiteral("%1(%2)").arg(QLatin1StringView(array)).arg(index);
}

QGroupBox *frame(QWidget *parent, const QString &name, const QString &caption, QRect place)
{
    auto *box = named(new QGroupBox(caption, parent), name);
    box->setGeometry(place);
    return box;
}

QComboBox *dropDownList(QWidget *parent, const QString &name)
{
    auto *box = named(new QComboBox(parent), name);
    box->setEditable(false);
    box->setInsertPolicy(QComboBox::NoInsert);
    return box;
}

QCheckBox *checkBox(QWidget *parent, const QString &name, const QString &caption, QRect place)
{
    auto *box = named(new QCheckBox(caption, parent), name);
    placeFittingCaption(box, caption, place);
    return box;
}

QRadioButton *optionButton(QWidget *parent, const QString &name, const QString &caption,
                           QRect place)
{
    auto *button = named(new OptionButton(caption, parent), name);
    placeFittingCaption(button, caption, place);
    return button;
}

ThresholdBox *thresholdBox(QWidget *parent, const QString &name, int digitLimit,
                           ThresholdBox::InputMethod inputMethod, QRect place)
{
    auto *box = named(new ThresholdBox(parent, digitLimit, inputMethod), name);
    box->setGeometry(place);
    return box;
}

std::tuple<QGroupBox *, ThresholdBox *, OptionPair>
thresholdFilter(QWidget *parent, const ThresholdFilterParts &parts)
{
    QGroupBox *group = frame(parent, parts.frameName, parts.caption, QRect());
    ThresholdBox *box =
        thresholdBox(group, parts.boxName, parts.digitLimit, parts.inputMethod, parts.box);
    const OptionPair options = {optionButton(group, arrayMemberName(parts.optionsName, 0),
                                             QStringLiteral("以上"), parts.atLeast),
                                optionButton(group, arrayMemberName(parts.optionsName, 1),
                                             QStringLiteral("以下"), parts.atMost)};
    options[0]->setChecked(true);
    updateOptionTabStops(options);
    for (QRadioButton *option : options)
        QObject::connect(option, &QRadioButton::toggled, option,
                         [options] { updateOptionTabStops(options); });
    return {group, box, options};
}

void updateOptionTabStops(const OptionPair &pair)
{
    for (QRadioButton *option : pair)
        option->setFocusPolicy(option->isChecked() ? Qt::StrongFocus : Qt::ClickFocus);
}

QListView *nameList(QWidget *parent, const QString &name, QAbstractItemModel *model)
{
    auto *list = named(new NameList(parent), name);
    list->setModel(model);
    list->setUniformItemSizes(true);
    // A list of many entries lays out its first thousands at once and the rest in the background,
    // so that a keystroke that refills it waits for no more than the window shows.
    list->setLayoutMode(QListView::Batched);
    list->setBatchSize(5'000);
    list->setSelectionMode(QAbstractItemView::SingleSelection);
    list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    list->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    return list;
}

QPlainTextEdit *detailBox(QWidget *parent, const QString &name)
{
    auto *box = named(new QPlainTextEdit(parent), name);
    box->setReadOnly(true);
    box->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    box->setFocusPolicy(Qt::ClickFocus); // selectable, but not a stop of the Tab key
    box->setTabChangesFocus(true);
    box->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    box->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    box->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    QPalette palette = box->palette();
    palette.setColor(QPalette::Base, QApplication::palette("QMenu").color(QPalette::Window));
    box->setPalette(palette);
    return box;
}

} // namespace windowControls
