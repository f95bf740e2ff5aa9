// RadioGroup: a widget the windows share (the settings dialog's choices).
#pragma once

#include <QGroupBox>
#include <QStringList>

class QButtonGroup;
class QRadioButton;

// A titled box of radio buttons in one column. One item or none is selected;
// the selected index is -1 when none is.
class RadioGroup : public QGroupBox {
    Q_OBJECT
public:
    RadioGroup(const QString& caption, const QStringList& items, const QRect& geometry, QWidget* parent);

    int itemIndex() const;
    // An index outside the items selects none.
    void setItemIndex(int index);
    int count() const;
    QRadioButton* item(int index) const;

private:
    void keepOneTabStop();

    QButtonGroup* buttons_;
};
