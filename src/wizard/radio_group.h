#pragma once

#include <QGroupBox>
#include <QList>
#include <QStringList>

class QButtonGroup;
class QRadioButton;

namespace dovrelle {

// A captioned box of radio buttons with one chosen entry, told by its index (-1: none chosen).
class RadioGroup : public QGroupBox {
    Q_OBJECT
public:
    RadioGroup(const QStringList& items, QWidget* parent = nullptr);

    int count() const { return buttons_.size(); }
    // The entries' texts as the group was made with them (a caption language may show others).
    const QStringList& items() const { return items_; }
    QRadioButton* button(int index) const { return buttons_.value(index); }

    int itemIndex() const;
    // Below -1 chooses none, beyond the last entry chooses the last one. Emits itemIndexChanged
    // when the choice changes, whether the user or the program changed it.
    void setItemIndex(int index);

signals:
    void itemIndexChanged(int index);

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void layOutButtons();

    QStringList items_;
    QButtonGroup* group_;
    QList<QRadioButton*> buttons_;
};

}  // namespace dovrelle
