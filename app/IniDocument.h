#pragma once
// The text of a private-profile (INI) file, held line by line so that a rewrite changes only
// the lines it means to: comments, blank lines and keys nobody here knows keep their bytes.
// Text that is valid UTF-8 is read as UTF-8, any other as Shift-JIS (a file brought from a
// Windows workstation), and what is written goes in the same encoding.

#include <QByteArray>
#include <QList>
#include <QPair>
#include <QString>
#include <optional>

class IniDocument {
public:
    static IniDocument Parse(QByteArray text);
    QByteArray Serialize() const;

    // Sections and keys are found without regard to case; the first match wins.
    std::optional<QString> Value(const QString& section, const QString& key) const;
    // Every key=value line of a section, in file order.
    QList<QPair<QString, QString>> Entries(const QString& section) const;

    // An existing key is rewritten in place; a new key goes after the last entry of its
    // section; a new section goes at the end of the text. Line breaks in the value become
    // blanks.
    void SetValue(const QString& section, const QString& key, const QString& value);

private:
    // Line indexes of a section: its header and one past its last non-blank line.
    struct SectionSpan {
        int header;
        int end;
    };

    std::optional<SectionSpan> FindSection(const QString& section) const;
    std::optional<int> FindKey(const SectionSpan& span, const QString& key) const;
    QString Decode(const QByteArray& bytes) const;
    QByteArray Encode(const QString& text) const;
    bool SameName(const QByteArray& inFile, const QString& wanted) const;
    QByteArray KeyLine(const QByteArray& key, const QString& value) const;

    QList<QByteArray> lines_;
    QByteArray lineEnd_ = "\n";
    // A byte-order mark the file started with (editors on Windows add one); written back.
    QByteArray byteOrderMark_;
    bool shiftJis_ = false;
};
