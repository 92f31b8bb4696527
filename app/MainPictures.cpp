#include "app/MainPictures.h"

#include "app/JpegDecoder.h"

// The resource file lives in a static library: nothing would pull it into the program
// unless it is registered by name. Kept out of any namespace, as the macro needs.
static void RegisterPictures() {
    static const bool registered = [] {
        Q_INIT_RESOURCE(pictures);
        return true;
    }();
    (void)registered;
}

QImage LogoPicture() {
    RegisterPictures();
    return DecodeJpegFile(QStringLiteral(":/pictures/logo.jpg"));
}

QImage TitlePicture() {
    RegisterPictures();
    return QImage(QStringLiteral(":/pictures/title.png"));
}
