#include "app/JpegDecoder.h"

#include <QFile>

#include <csetjmp>
#include <cstdio>

#include <jpeglib.h>

namespace {

// libjpeg reports a fatal error by calling error_exit, which must not return: it jumps
// back to the decode with the message in hand.
struct ErrorJump {
    jpeg_error_mgr manager;
    std::jmp_buf jump;
    char message[JMSG_LENGTH_MAX];
};

[[noreturn]] void JumpOut(j_common_ptr info) {
    auto* error = reinterpret_cast<ErrorJump*>(info->err);
    (*info->err->format_message)(info, error->message);
    std::longjmp(error->jump, 1);
}

// Warnings (level -1) are what libjpeg says about corrupt or truncated data before it
// fills the rest with grey; such a picture is refused. Trace messages are ignored.
void RefuseWarnings(j_common_ptr info, int level) {
    if (level < 0)
        JumpOut(info);
}

// Kept free of C++ objects with destructors: a longjmp out of libjpeg lands in here.
bool Decode(const QByteArray& data, QImage* image, char* message) {
    jpeg_decompress_struct info;
    ErrorJump error;
    info.err = jpeg_std_error(&error.manager);
    error.manager.error_exit = JumpOut;
    error.manager.emit_message = RefuseWarnings;
    if (setjmp(error.jump)) {
        std::snprintf(message, JMSG_LENGTH_MAX, "%s", error.message);
        jpeg_destroy_decompress(&info);
        return false;
    }
    jpeg_create_decompress(&info);
    jpeg_mem_src(&info, reinterpret_cast<const unsigned char*>(data.constData()),
                 static_cast<unsigned long>(data.size()));
    jpeg_read_header(&info, TRUE);
    info.out_color_space = JCS_RGB;
    jpeg_start_decompress(&info);
    *image = QImage(static_cast<int>(info.output_width), static_cast<int>(info.output_height),
                    QImage::Format_RGB888);
    if (image->isNull()) {
        std::snprintf(message, JMSG_LENGTH_MAX, "picture too large (%u x %u)", info.output_width,
                      info.output_height);
        jpeg_destroy_decompress(&info);
        return false;
    }
    while (info.output_scanline < info.output_height) {
        JSAMPROW row = image->scanLine(static_cast<int>(info.output_scanline));
        jpeg_read_scanlines(&info, &row, 1);
    }
    jpeg_finish_decompress(&info);
    jpeg_destroy_decompress(&info);
    return true;
}

} // namespace

QImage DecodeJpeg(const QByteArray& data) {
    if (data.isEmpty())
        throw JpegDecodeError(QStringLiteral("JPEG data is empty"));
    QImage image;
    char message[JMSG_LENGTH_MAX] = {};
    if (!Decode(data, &image, message))
        throw JpegDecodeError(
            QStringLiteral("JPEG data cannot be decoded: %1").arg(QString::fromLocal8Bit(message)));
    return image;
}

QImage DecodeJpegFile(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw JpegDecodeError(
            QStringLiteral("%1: cannot be read: %2").arg(path, file.errorString()));
    try {
        return DecodeJpeg(file.readAll());
    } catch (const JpegDecodeError& e) {
        throw JpegDecodeError(QStringLiteral("%1: %2").arg(path, QString::fromUtf8(e.what())));
    }
}
