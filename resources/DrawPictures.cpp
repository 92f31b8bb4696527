// Draws the main window's two pictures: the logo (logo.jpg, 329 x 129) and the title
// (title.png, 413 x 80), and the desktop icon (icon.png, 256 x 256). Run once when the
// artwork changes; the files it writes are kept beside it, the pictures built into the
// program and the icon installed with the package.
//
//     tarnik_draw_pictures <output folder>

#include <QFontMetricsF>
#include <QGuiApplication>
#include <QImage>
#include <QImageWriter>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <QtMath>
#include <cstdio>

namespace {

const QColor kOrange(255, 138, 30);
const QColor kIce(127, 211, 255);
const QColor kNight(10, 18, 32);

QFont PixelFont(const QString& family, int pixels, bool bold = false, bool italic = false) {
    QFont font(family);
    font.setPixelSize(pixels);
    font.setBold(bold);
    font.setItalic(italic);
    font.setHintingPreference(QFont::PreferNoHinting);
    return font;
}

// A point on a clock face: angle in degrees clockwise from twelve o'clock.
QPointF OnDial(QPointF centre, double radius, double degrees) {
    const double a = qDegreesToRadians(degrees);
    return centre + QPointF(radius * std::sin(a), -radius * std::cos(a));
}

void DrawStopwatch(QPainter& p, QPointF c, double r) {
    // Crown and side button.
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(190, 198, 210));
    p.drawRoundedRect(QRectF(c.x() - 8, c.y() - r - 15, 16, 8), 2, 2);
    p.drawRect(QRectF(c.x() - 3, c.y() - r - 8, 6, 8));
    p.save();
    p.translate(OnDial(c, r + 4, 45));
    p.rotate(45);
    p.drawRoundedRect(QRectF(-5, -5, 10, 8), 2, 2);
    p.restore();

    // Rim and face.
    QLinearGradient rim(c - QPointF(r, r), c + QPointF(r, r));
    rim.setColorAt(0, QColor(235, 240, 248));
    rim.setColorAt(1, QColor(105, 115, 130));
    p.setBrush(rim);
    p.drawEllipse(c, r + 5, r + 5);
    QRadialGradient face(c - QPointF(r / 3, r / 3), r * 1.4);
    face.setColorAt(0, QColor(36, 56, 92));
    face.setColorAt(1, kNight);
    p.setBrush(face);
    p.drawEllipse(c, r, r);

    // The time run so far, swept from twelve o'clock.
    const double run = 118;
    QColor sweep = kOrange;
    sweep.setAlpha(90);
    p.setBrush(sweep);
    const QRectF dial(c - QPointF(r - 4, r - 4), c + QPointF(r - 4, r - 4));
    p.drawPie(dial, 90 * 16, static_cast<int>(-run * 16));

    for (int i = 0; i < 60; ++i) {
        const bool major = i % 5 == 0;
        p.setPen(QPen(major ? Qt::white : QColor(150, 165, 190), major ? 2.2 : 1.0, Qt::SolidLine,
                      Qt::RoundCap));
        p.drawLine(OnDial(c, r - (major ? 10 : 6), i * 6), OnDial(c, r - 3, i * 6));
    }

    p.setPen(QPen(kOrange, 3, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(OnDial(c, 10, run + 180), OnDial(c, r - 8, run));
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::white);
    p.drawEllipse(c, 4.5, 4.5);
    p.setBrush(kOrange);
    p.drawEllipse(c, 2, 2);
}

// Five timing points along a course: three passed, one being timed, one ahead.
void DrawCourse(QPainter& p, double left, double right, double y) {
    p.setPen(QPen(QColor(80, 92, 112), 2, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(left, y), QPointF(right, y));
    const double step = (right - left) / 4;
    p.setPen(QPen(kOrange, 3, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(left, y), QPointF(left + 3 * step, y));
    for (int i = 0; i < 5; ++i) {
        const QPointF at(left + i * step, y);
        if (i < 3) {
            p.setPen(Qt::NoPen);
            p.setBrush(kOrange);
            p.drawEllipse(at, 5, 5);
        } else {
            p.setPen(QPen(i == 3 ? kIce : QColor(80, 92, 112), 2));
            p.setBrush(Qt::black);
            p.drawEllipse(at, i == 3 ? 6 : 4.5, i == 3 ? 6 : 4.5);
        }
    }
}

QImage DrawLogo() {
    QImage image(329, 129, QImage::Format_RGB32);
    image.fill(Qt::black);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);

    QRadialGradient glow(QPointF(66, 70), 90);
    glow.setColorAt(0, QColor(20, 40, 72));
    glow.setColorAt(1, Qt::black);
    p.fillRect(image.rect(), glow);
    DrawStopwatch(p, QPointF(66, 72), 44);

    const double textLeft = 134;
    const QString words = QStringLiteral("SPLIT TIME");
    int pixels = 34;
    while (QFontMetricsF(PixelFont(QStringLiteral("DejaVu Sans"), pixels, true, true))
               .horizontalAdvance(words) > 318 - textLeft)
        --pixels;
    const QFont title = PixelFont(QStringLiteral("DejaVu Sans"), pixels, true, true);
    p.setFont(title);
    p.setPen(Qt::white);
    p.drawText(QPointF(textLeft, 50), QStringLiteral("SPLIT"));
    p.setPen(kOrange);
    const double splitWidth = QFontMetricsF(title).horizontalAdvance(QStringLiteral("SPLIT "));
    p.drawText(QPointF(textLeft + splitWidth, 50), QStringLiteral("TIME"));

    p.setFont(PixelFont(QStringLiteral("DejaVu Sans Mono"), 22, true));
    p.setPen(kIce);
    p.drawText(QPointF(textLeft + 2, 82), QStringLiteral("01:23:31.4"));

    DrawCourse(p, textLeft + 6, 314, 106);
    return image;
}

QImage DrawTitle() {
    QImage image(413, 80, QImage::Format_RGB32);
    image.fill(Qt::black);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);

    // Speed lines running into the title from the left.
    for (int i = 0; i < 4; ++i) {
        QLinearGradient streak(10, 0, 130, 0);
        streak.setColorAt(0, Qt::black);
        streak.setColorAt(1, i % 2 ? kIce : kOrange);
        p.setPen(QPen(QBrush(streak), 2, Qt::SolidLine, Qt::RoundCap));
        const double y = 22 + i * 9;
        p.drawLine(QPointF(14 + i * 12, y), QPointF(128 - i * 6, y));
    }

    QPainterPath text;
    const QFont font = PixelFont(QStringLiteral("IPAPGothic"), 50);
    const QString words = QStringLiteral("中間計時");
    const double width = QFontMetricsF(font).horizontalAdvance(words);
    text.addText(QPointF(96 + (300 - width) / 2, 54), font, words);

    p.setPen(Qt::NoPen);
    p.setBrush(QColor(18, 44, 90));
    p.drawPath(text.translated(3, 3));
    QLinearGradient fill(0, 12, 0, 58);
    fill.setColorAt(0, Qt::white);
    fill.setColorAt(1, kIce);
    // The outline in the fill's colours gives the single-weight face a bolder stroke.
    p.setPen(QPen(QBrush(fill), 1.6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(fill);
    p.drawPath(text);

    QLinearGradient underline(96, 0, 400, 0);
    underline.setColorAt(0, kOrange);
    underline.setColorAt(1, Qt::black);
    p.setPen(QPen(QBrush(underline), 3, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(100, 66), QPointF(396, 66));

    p.setFont(PixelFont(QStringLiteral("DejaVu Sans"), 9, true));
    p.setPen(QColor(150, 165, 190));
    p.drawText(QRectF(96, 68, 300, 12), Qt::AlignRight | Qt::AlignVCenter,
               QStringLiteral("S P L I T   T I M I N G"));
    return image;
}

// The logo's stopwatch alone on a dark tile, so that it reads at 48 pixels on a light or a
// dark panel alike.
QImage DrawIcon() {
    QImage image(256, 256, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(2, 2);

    QRadialGradient glow(QPointF(64, 66), 80);
    glow.setColorAt(0, QColor(28, 52, 92));
    glow.setColorAt(1, kNight);
    p.setPen(Qt::NoPen);
    p.setBrush(glow);
    p.drawRoundedRect(QRectF(4, 4, 120, 120), 22, 22);
    // The stopwatch is drawn for a radius of 44; its crown stands 15 above the rim.
    DrawStopwatch(p, QPointF(64, 71), 42);
    return image;
}

bool Write(const QImage& image, const QString& path, const char* format, int quality) {
    QImageWriter writer(path, format);
    writer.setQuality(quality);
    if (writer.write(image))
        return true;
    std::fprintf(stderr, "%s: %s\n", qPrintable(path), qPrintable(writer.errorString()));
    return false;
}

} // namespace

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <output folder>\n", argv[0]);
        return 2;
    }
    const QString folder = QString::fromLocal8Bit(argv[1]);
    const bool written = Write(DrawLogo(), folder + QStringLiteral("/logo.jpg"), "jpeg", 92) &&
                         Write(DrawTitle(), folder + QStringLiteral("/title.png"), "png", -1) &&
                         Write(DrawIcon(), folder + QStringLiteral("/icon.png"), "png", -1);
    return written ? 0 : 1;
}
