#pragma once
// JPEG pictures decoded through libjpeg.

#include "common/AppError.h"

#include <QByteArray>
#include <QImage>
#include <QString>
#include <stdexcept>

// The data is not a whole, readable JPEG picture; what() (UTF-8) says what libjpeg found.
class JpegDecodeError : public AppError {
public:
    using AppError::AppError;
};

// An RGB image of the picture. Damaged data is an error, never a partly grey picture.
QImage DecodeJpeg(const QByteArray& data);

// The same for a file (or a Qt resource path); errors name the file.
QImage DecodeJpegFile(const QString& path);
