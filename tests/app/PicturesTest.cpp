#include "app/JpegDecoder.h"
#include "app/MainPictures.h"

#include "tests/app/FileFixtures.h"

#include <QBuffer>
#include <QImageWriter>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

QByteArray LogoBytes() {
    LogoPicture(); // registers the pictures
    QFile file(QStringLiteral(":/pictures/logo.jpg"));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QByteArray EncodeJpeg(const QImage& image) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    QImageWriter writer(&buffer, "jpeg");
    writer.setQuality(100);
    if (!writer.write(image))
        throw std::runtime_error(writer.errorString().toStdString());
    return bytes;
}

TEST(PicturesTest, MainWindowPicturesHaveTheirSizes) {
    const QImage logo = LogoPicture();
    EXPECT_EQ(logo.size(), QSize(329, 129));
    EXPECT_EQ(TitlePicture().size(), QSize(413, 80));
}

TEST(PicturesTest, DecodedLogoMatchesAnIndependentDecoder) {
    // Qt's own reader goes through libjpeg too: any difference is a fault of row or
    // channel handling here.
    const QImage expected = QImage::fromData(LogoBytes(), "JPEG");
    ASSERT_FALSE(expected.isNull());
    EXPECT_EQ(LogoPicture(), expected.convertToFormat(QImage::Format_RGB888));
}

TEST(PicturesTest, GreyPictureComesOutAsRgb) {
    QImage grey(17, 9, QImage::Format_Grayscale8);
    grey.fill(200);
    const QImage decoded = DecodeJpeg(EncodeJpeg(grey));
    ASSERT_EQ(decoded.size(), grey.size());
    const QColor pixel = decoded.pixelColor(16, 8);
    EXPECT_NEAR(pixel.red(), 200, 2);
    EXPECT_EQ(pixel.red(), pixel.green());
    EXPECT_EQ(pixel.red(), pixel.blue());
}

TEST(PicturesTest, DamagedJpegIsAnErrorNotAPicture) {
    const QByteArray logo = LogoBytes();
    ASSERT_GT(logo.size(), 1000);
    EXPECT_THROW(DecodeJpeg({}), JpegDecodeError);
    EXPECT_THROW(DecodeJpeg("not a picture at all"), JpegDecodeError);
    EXPECT_THROW(DecodeJpeg(logo.left(300)), JpegDecodeError);             // ends inside the header
    EXPECT_THROW(DecodeJpeg(logo.left(logo.size() / 2)), JpegDecodeError); // ends in the data
}

TEST(PicturesTest, DamagedJpegFileIsNamedInTheError) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("logo.jpg"));
    WriteFileText(path, LogoBytes().left(2000));
    try {
        DecodeJpegFile(path);
        FAIL() << "no error";
    } catch (const JpegDecodeError& e) {
        EXPECT_TRUE(QString::fromUtf8(e.what()).contains(path)) << e.what();
    }
    EXPECT_THROW(DecodeJpegFile(dir.filePath(QStringLiteral("absent.jpg"))), JpegDecodeError);
}

} // namespace
