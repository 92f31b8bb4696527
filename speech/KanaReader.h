#pragma once
// Kanji to kana: the engine's Japanese voice reads kana, digits and Latin letters, but reads a
// kanji only as "Chinese letter", so every text is first turned into its kana reading.
//
// Not thread-safe: one reader belongs to one thread.

#include <QString>

struct mecab_t;

class KanaReader {
public:
    // Loads the dictionary; throws SpeechError when MeCab or its dictionary is missing.
    KanaReader();
    ~KanaReader();
    KanaReader(const KanaReader&) = delete;
    KanaReader& operator=(const KanaReader&) = delete;

    // "1時間23分31秒4" gives "1ジカン23フン31ビョウ4". Full-width digits and letters and
    // half-width kana are first brought to their ordinary forms, so "１２番" is read
    // "12バン" (a number) rather than digit by digit. Throws SpeechError.
    QString toKana(const QString& text);

private:
    mecab_t* mecab_;
};
