#include "timing/widgets/PortListCombo.h"

#include "serial/PortNames.h"

#include <QAbstractItemView>
#include <QStyledItemDelegate>

namespace {

// The item data: what itemData() gives.
constexpr int DevicePathRole = Qt::UserRole;

QString PortName(int n) {
    return QStringLiteral("COM") + QString::number(n);
}

// The list shows each name with its device; the box keeps the bare name.
class PortWithDevice : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

protected:
    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override {
        QStyledItemDelegate::initStyleOption(option, index);
        const QString path = index.data(DevicePathRole).toString();
        if (!option->text.isEmpty())
            option->text +=
                QStringLiteral("  → ") + (path.isEmpty() ? QStringLiteral("(機器なし)") : path);
    }
};

} // namespace

PortListCombo::PortListCombo(QWidget* parent) : QComboBox(parent) {
    setItemDelegate(new PortWithDevice(this));
}

void PortListCombo::Refill() {
    const QString chosen = currentText();
    clear();
    addItem(QString());
    for (const int n : PresentPorts())
        addItem(PortName(n), DevicePathForPort(n));
    if (chosen.isEmpty())
        setCurrentIndex(0);
    else
        ChoosePort(chosen);
    view()->setMinimumWidth(view()->sizeHintForColumn(0));
}

void PortListCombo::ChoosePort(const QString& name) {
    if (findText(name) < 0)
        addItem(name, DevicePathForPort(name.mid(3).toInt()));
    setCurrentIndex(findText(name));
}

void PortListCombo::showPopup() {
    Refill();
    QComboBox::showPopup();
}
