#pragma once

#include "search_window/thresholdBox.h"

#include <QRect>
#include <QString>

class QAbstractItemModel;
class QCheckBox;
class QComboBox;
class QFont;
class QGroupBox;
class QListView;
class QPlainTextEdit;
class QRadioButton;
class QWidget;

// Makers for the window's controls: each sets the control's name, kind-specific settings and
// place. Places are given in twips, 15 to a pixel at 96 dots per inch.
namespace windowControls {

QRect fromTwips(int left, int top, int width, int height);

// The one font of the window: 9-point regular Japanese Gothic, monospaced where it can be.
QFont windowFont();

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
QListView *nameList(QWidget *parent, const QString &name, QAbstractItemModel *model);
QPlainTextEdit *detailBox(QWidget *parent, const QString &name);

} // namespace windowControls
