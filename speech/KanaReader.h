#pragma once
// Words to kana: the engine's Japanese voice reads kana, but reads a kanji only as "Chinese
// letter" and Latin letters as English, so every word is first turned into its kana reading.
//
// A word the dictionary does not know keeps what can be read of it: kana, digits and symbols
// stay, Latin letters become their Japanese letter names (エー, ビー), and a variant form of a
// kanji in names (髙, 﨑) is read as its common form. Anything else of it is left out rather
// than spelled in another language.
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

    // The reading in katakana: "ゼッケン番号" gives "ゼッケンバンゴウ". Full-width letters and
    // half-width kana are first brought to their ordinary forms; blanks between words stay.
    // Throws SpeechError.
    QString toKana(const QString& text);

private:
    mecab_t* mecab_;
};
