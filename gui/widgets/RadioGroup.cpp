#include "gui/widgets/RadioGroup.h"

#include <QButtonGroup>
#include <QRadioButton>

#include <algorithm>

namespace {

// The text height of the form's font as the layout was drawn; radio groups
// place their rows below a caption of this height.
constexpr int kDesignTextHeight = 13;

}  // namespace

RadioGroup::RadioGroup(const QString& caption, const QStringList& items, const QRect& geometry, QWidget* parent)
      : QGroupBox(caption, parent), buttons_(new QButtonGroup(this))
{
    setGeometry(geometry);
    // The rows share the height below the caption evenly; what does not
    // divide evenly is split above and below them.
    const int rows = static_cast<int>(items.size());
    if (rows == 0)
        return;
    const int usable = geometry.height() - kDesignTextHeight - 5;
    const int rowHeight = usable / rows;
    const int top = kDesignTextHeight + 1 + (usable % rows) / 2;
    for (int i = 0; i < rows; ++i) {
        auto* button = new QRadioButton(items.at(i), this);
        button->setGeometry(8, top + i * rowHeight, geometry.width() - 10, rowHeight);
        buttons_->addButton(button, i);
    }
    connect(buttons_, &QButtonGroup::buttonToggled, this, [this] { keepOneTabStop(); });
    keepOneTabStop();
}

void RadioGroup::keepOneTabStop()
{
    // Qt trims a group to one tab stop only once one of its buttons has had
    // the focus, and then at that button, so that Tab would first enter at
    // the top item, where Space changes the choice. The group's one stop is
    // its selected item; with none selected, the item with the focus or the
    // first. The arrow keys move within the group.
    QAbstractButton* stop = buttons_->checkedButton();
    if (!stop) {
        const QList<QAbstractButton*> all = buttons_->buttons();
        const auto focused = std::find_if(all.begin(), all.end(), [](QAbstractButton* b) { return b->hasFocus(); });
        stop = focused != all.end() ? *focused : buttons_->button(0);
    }
    for (QAbstractButton* button : buttons_->buttons())
        button->setFocusPolicy(button == stop ? Qt::StrongFocus : Qt::ClickFocus);
}

int RadioGroup::itemIndex() const
{
    return buttons_->checkedId();
}

void RadioGroup::setItemIndex(int index)
{
    if (index >= 0 && index < count()) {
        buttons_->button(index)->setChecked(true);
        return;
    }
    // An exclusive group keeps its checked button; it lets go only while
    // exclusiveness is off.
    if (QAbstractButton* checked = buttons_->checkedButton()) {
        buttons_->setExclusive(false);
        checked->setChecked(false);
        buttons_->setExclusive(true);
    }
}

int RadioGroup::count() const
{
    return static_cast<int>(buttons_->buttons().size());
}

QRadioButton* RadioGroup::item(int index) const
{
    return static_cast<QRadioButton*>(buttons_->button(index));
}
