#include "speech/KanaReader.h"

#include "speech/SpeechError.h"

#include <mecab.h>

KanaReader::KanaReader() : mecab_(mecab_new2("-Oyomi")) {
    if (!mecab_)
        throw SpeechError(QStringLiteral("MeCab could not start: %1")
                              .arg(QString::fromUtf8(mecab_strerror(nullptr))));
}

KanaReader::~KanaReader() {
    mecab_destroy(mecab_);
}

QString KanaReader::toKana(const QString& text) {
    // MeCab reads one line; a line break in the text is only a pause.
    QString line = text.normalized(QString::NormalizationForm_KC);
    line.replace(QLatin1Char('\n'), QLatin1Char(' ')).replace(QLatin1Char('\r'), QLatin1Char(' '));
    if (line.trimmed().isEmpty())
        return QString();
    const QByteArray utf8 = line.toUtf8();
    const char* reading = mecab_sparse_tostr(mecab_, utf8.constData());
    if (!reading)
        throw SpeechError(QStringLiteral("MeCab could not read \"%1\": %2")
                              .arg(text, QString::fromUtf8(mecab_strerror(mecab_))));
    // The yomi output ends every sentence with a line break.
    return QString::fromUtf8(reading).trimmed();
}
