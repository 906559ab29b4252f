#pragma once

#include "search_window/thresholdBox.h"

#include <QRect>
#include <QString>

#include <array>
#include <tuple>

class QAbstractItemModel;
class QCheckBox;
class QComboBox;
class QFont;
class QGroupBox;
class QListView;
class QPlainTextEdit;
class QTextCharFormat;
class QRadioButton;
class QWidget;

// Makers for the window's controls: each sets the control's name, kind-specific settings and
// place. Places are given in twips, 15 to a pixel at 96 dots per inch.
namespace windowControls {

QRect fromTwips(int left, int top, int width, int height);

// The one font of the window: 9-point regular Japanese Gothic, monospaced where it can be.
QFont windowFont();

// How a find word is marked where it stands in a card's text: a marker's colour behind it.
QTextCharFormat findMarkFormat();

// The name of a member of a control array: "chkDuelistC(0)".
QString arrayMemberName(const char *array, int index);

QGroupBox *frame(QWidget *parent, const QString &name, const QString &caption, QRect place);
QComboBox *dropDownList(QWidget *parent, const QString &name);
// Check boxes and option buttons keep their place but grow to fit their caption.
QCheckBox *checkBox(QWidget *parent, const QString &name, const QString &caption, QRect place);
QRadioButton *optionButton(QWidget *parent, const QString &name, const QString &caption,
                           QRect place);
ThresholdBox *thresholdBox(QWidget *parent, const QString &name, int digitLimit,
                           ThresholdBox::InputMethod inputMethod, QRect place);
// A threshold filter: a captioned frame holding a threshold box and the option pair "以上" /
// "以下", the first selected. Only the selected option is a stop of the Tab key.
struct ThresholdFilterParts
{
    QString frameName;
    QString caption;
    QString boxName;
    const char *optionsName; // the name of the option pair's control array
    int digitLimit;
    ThresholdBox::InputMethod inputMethod;
    QRect box; // places in the frame
    QRect atLeast;
    QRect atMost;
};
using OptionPair = std::array<QRadioButton *, 2>;
// The frame, unplaced, its box and its option pair.
std::tuple<QGroupBox *, ThresholdBox *, OptionPair>
thresholdFilter(QWidget *parent, const ThresholdFilterParts &parts);

// Only the selected option of a pair is a stop of the Tab key.
void updateOptionTabStops(const OptionPair &pair);

QListView *nameList(QWidget *parent, const QString &name, QAbstractItemModel *model);
QPlainTextEdit *detailBox(QWidget *parent, const QString &name);

} // namespace windowControls
