#include "app/BuildDate.h"
#include "app/MainPictures.h"
#include "app/SingleInstance.h"
#include "app/TarnikApplication.h"

#include <QLabel>
#include <QMainWindow>
#include <QMessageBox>
#include <QPixmap>

namespace {

QLabel* PlaceLabel(QWidget* parent, const QRect& place) {
    auto* label = new QLabel(parent);
    label->setGeometry(place);
    return label;
}

} // namespace

int main(int argc, char** argv) {
    TarnikApplication app(argc, argv);
    app.setApplicationDisplayName(QStringLiteral("Tarnikmid Application"));

    SingleInstance instance(SingleInstance::DefaultServerName());
    if (instance.ActivateRunningInstance())
        return 0;

    QMainWindow window;
    if (!instance.Listen(&window)) {
        QMessageBox box(QMessageBox::NoIcon, app.applicationDisplayName(),
                        QStringLiteral("起動できません"));
        box.exec();
        return 1;
    }
    window.setWindowTitle(QStringLiteral("中間計時"));
    auto* client = new QWidget(&window);
    client->setStyleSheet(QStringLiteral("background: black; color: white;"));
    window.setCentralWidget(client);
    window.resize(720, 484);
    PlaceLabel(client, QRect(188, 25, 329, 129))->setPixmap(QPixmap::fromImage(LogoPicture()));
    PlaceLabel(client, QRect(144, 166, 413, 80))->setPixmap(QPixmap::fromImage(TitlePicture()));
    PlaceLabel(client, QRect(616, 448, 90, 16))->setText(ProgramBuildDateCaption());
    window.show();
    return app.exec();
}
