#include "wizard/radio_group.h"

#include <QButtonGroup>
#include <QRadioButton>

namespace dovrelle {

RadioGroup::RadioGroup(const QStringList& items, QWidget* parent)
    : QGroupBox(parent), items_(items), group_(new QButtonGroup(this))
{
    for (int i = 0; i < items.size(); ++i) {
        auto* button = new QRadioButton(items[i], this);
        group_->addButton(button, i);
        buttons_.append(button);
    }
    // idToggled fires twice on a change (old entry off, new entry on); report only the new state.
    connect(group_, &QButtonGroup::idToggled, this, [this](int id, bool checked) {
        if (checked)
            emit itemIndexChanged(id);
    });
    layOutButtons();
}

int RadioGroup::itemIndex() const
{
    return group_->checkedId();
}

void RadioGroup::setItemIndex(int index)
{
    if (index < -1)
        index = -1;
    if (index >= count())
        index = count() - 1;
    if (index == itemIndex())
        return;
    if (index >= 0) {
        buttons_[index]->setChecked(true);
        return;
    }
    // An exclusive group never lets its last checked button go; lift that for the moment.
    group_->setExclusive(false);
    for (QRadioButton* button : buttons_)
        button->setChecked(false);
    group_->setExclusive(true);
    emit itemIndexChanged(-1);
}

void RadioGroup::resizeEvent(QResizeEvent* event)
{
    QGroupBox::resizeEvent(event);
    layOutButtons();
}

void RadioGroup::layOutButtons()
{
    // The choices share the room below the caption evenly, one row each, as wide as the frame
    // lets them be (the shortcut dialog's narrow group needs all of it for "All database tables").
    if (buttons_.isEmpty())
        return;
    const int top = 16;
    const int left = 6;
    const int rowHeight = (height() - top - 4) / buttons_.size();
    for (int i = 0; i < buttons_.size(); ++i)
        buttons_[i]->setGeometry(left, top + i * rowHeight, width() - left - 2, rowHeight);
}

}  // namespace dovrelle
