#pragma once
// A radio group: a captioned box of items of which at most one is selected. Selecting an item
// raises OnClick, whether the operator clicked it or code set ItemIndex, so code that selects
// an item runs the same handler as the operator's click.

#include <QButtonGroup>
#include <QGroupBox>
#include <QStringList>

class QRadioButton;

class TRadioGroup : public QGroupBox {
    Q_OBJECT

public:
    TRadioGroup(const QString& caption, const QStringList& items, QWidget* parent = nullptr);

    // The selected item; -1 when none is.
    int ItemIndex() const { return buttons_.checkedId(); }
    // An index above the last item selects the last one; -1 or below selects none. Raises
    // OnClick only when an item becomes selected, never for the item already selected.
    void SetItemIndex(int index);
    QRadioButton* Item(int index) const;

signals:
    void OnClick();

private:
    QButtonGroup buttons_;
};
