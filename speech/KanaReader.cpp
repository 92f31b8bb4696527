#include "speech/KanaReader.h"

#include "speech/SpeechError.h"

#include <QStringList>

#include <mecab.h>

namespace {

// The dictionary's feature of a known word: part of speech (6 fields), base form, reading,
// pronunciation. An unknown word has no reading.
constexpr int kReadingField = 7;

// Variant forms of kanji that names are written with and the dictionary lacks.
QString withCommonKanji(QString text) {
    static const std::pair<QString, QString> variants[] = {
        {QStringLiteral("髙"), QStringLiteral("高")}, {QStringLiteral("﨑"), QStringLiteral("崎")},
        {QStringLiteral("嵜"), QStringLiteral("崎")}, {QStringLiteral("𠮷"), QStringLiteral("吉")},
        {QStringLiteral("德"), QStringLiteral("徳")}, {QStringLiteral("邊"), QStringLiteral("辺")},
        {QStringLiteral("邉"), QStringLiteral("辺")}, {QStringLiteral("濵"), QStringLiteral("浜")},
        {QStringLiteral("濱"), QStringLiteral("浜")}, {QStringLiteral("澤"), QStringLiteral("沢")},
        {QStringLiteral("齋"), QStringLiteral("斎")}, {QStringLiteral("齊"), QStringLiteral("斉")},
        {QStringLiteral("國"), QStringLiteral("国")}, {QStringLiteral("廣"), QStringLiteral("広")},
        {QStringLiteral("櫻"), QStringLiteral("桜")}, {QStringLiteral("眞"), QStringLiteral("真")},
    };
    for (const auto& [variant, common] : variants)
        text.replace(variant, common);
    return text;
}

QString letterName(QChar letter) {
    static const QStringList names = {
        QStringLiteral("エー"),   QStringLiteral("ビー"),       QStringLiteral("シー"),
        QStringLiteral("ディー"), QStringLiteral("イー"),       QStringLiteral("エフ"),
        QStringLiteral("ジー"),   QStringLiteral("エイチ"),     QStringLiteral("アイ"),
        QStringLiteral("ジェー"), QStringLiteral("ケー"),       QStringLiteral("エル"),
        QStringLiteral("エム"),   QStringLiteral("エヌ"),       QStringLiteral("オー"),
        QStringLiteral("ピー"),   QStringLiteral("キュー"),     QStringLiteral("アール"),
        QStringLiteral("エス"),   QStringLiteral("ティー"),     QStringLiteral("ユー"),
        QStringLiteral("ブイ"),   QStringLiteral("ダブリュー"), QStringLiteral("エックス"),
        QStringLiteral("ワイ"),   QStringLiteral("ゼット")};
    return names[letter.toUpper().unicode() - u'A'];
}

bool isKana(QChar c) {
    return (c >= u'\u3041' && c <= u'\u309F') || (c >= u'\u30A0' && c <= u'\u30FF');
}

bool isLatinLetter(QChar c) {
    return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z');
}

// What can be read of a word the dictionary does not know.
QString unknownWordReading(const QString& surface) {
    QString reading;
    for (const QChar c : surface) {
        if (isLatinLetter(c))
            reading += letterName(c);
        else if (isKana(c) || c.isDigit() || c.isPunct() || c.isSymbol() || c.isSpace())
            reading += c;
    }
    return reading;
}

QString wordReading(const mecab_node_t& node) {
    const QString surface = QString::fromUtf8(node.surface, node.length);
    const QStringList feature = QString::fromUtf8(node.feature).split(QLatin1Char(','));
    if (node.stat == MECAB_UNK_NODE || feature.size() <= kReadingField ||
        feature[kReadingField] == QStringLiteral("*"))
        return unknownWordReading(surface);
    return feature[kReadingField];
}

} // namespace

KanaReader::KanaReader() : mecab_(mecab_new2("")) {
    if (!mecab_)
        throw SpeechError(QStringLiteral("MeCab could not start: %1")
                              .arg(QString::fromUtf8(mecab_strerror(nullptr))));
}

KanaReader::~KanaReader() {
    mecab_destroy(mecab_);
}

QString KanaReader::toKana(const QString& text) {
    // MeCab reads one line; a line break in the text is only a pause.
    QString line = withCommonKanji(text.normalized(QString::NormalizationForm_KC));
    line.replace(QLatin1Char('\n'), QLatin1Char(' ')).replace(QLatin1Char('\r'), QLatin1Char(' '));
    if (line.trimmed().isEmpty())
        return QString();
    const QByteArray utf8 = line.toUtf8();
    const mecab_node_t* node = mecab_sparse_tonode(mecab_, utf8.constData());
    if (!node)
        throw SpeechError(QStringLiteral("MeCab could not read \"%1\": %2")
                              .arg(text, QString::fromUtf8(mecab_strerror(mecab_))));
    QString reading;
    for (; node; node = node->next) {
        if (node->stat == MECAB_BOS_NODE || node->stat == MECAB_EOS_NODE)
            continue;
        // The blanks before a word are in its rlength but not in its length.
        if (node->rlength > node->length && !reading.isEmpty())
            reading += QLatin1Char(' ');
        reading += wordReading(*node);
    }
    return reading;
}
