#include "app/TRadioGroup.h"

#include <QRadioButton>
#include <QVBoxLayout>

#include <algorithm>

TRadioGroup::TRadioGroup(const QString& caption, const QStringList& items, QWidget* parent)
    : QGroupBox(caption, parent) {
    auto* layout = new QVBoxLayout(this);
    for (int i = 0; i < items.size(); ++i) {
        auto* button = new QRadioButton(items[i], this);
        buttons_.addButton(button, i);
        layout->addWidget(button);
        // A button is checked by a click, by the arrow keys and by SetItemIndex alike.
        connect(button, &QAbstractButton::toggled, this, [this](bool checked) {
            if (checked)
                emit OnClick();
        });
    }
}

void TRadioGroup::SetItemIndex(int index) {
    index = std::clamp(index, -1, static_cast<int>(buttons_.buttons().size()) - 1);
    if (index == ItemIndex())
        return;
    if (index >= 0) {
        buttons_.button(index)->setChecked(true);
        return;
    }
    // An exclusive group keeps its checked button checked; only a non-exclusive one lets go.
    buttons_.setExclusive(false);
    buttons_.checkedButton()->setChecked(false);
    buttons_.setExclusive(true);
}

QRadioButton* TRadioGroup::Item(int index) const {
    return qobject_cast<QRadioButton*>(buttons_.button(index));
}
