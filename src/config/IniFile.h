#pragma once
// Access to one INI file (settings.ini, a DUT profile) key by key, the way the Windows
// private-profile functions do it. Nothing is cached: every read opens the file, looks the key
// up and releases it; every write reads the file, changes that one key and writes it back, so
// the key is in the file when the call returns.
//
// Reading
//   - Section and key names match regardless of letter case. The first section of a name is the
//     section; in it, the first line of a key is the key. Later duplicates are never looked at.
//   - A section starts at a line whose first non-blank character is "[" and that holds a "]";
//     its name is the text between the "[" and the first "]", blanks around it removed; anything
//     after the "]" is ignored. A "[" line without "]" starts no section; like any other line it
//     is a key when it holds "=".
//   - A key is a line with "=": its name is the text before the first "=", its value the text
//     after it, each with surrounding blanks removed (space, tab, CR, VT, FF). A line without
//     "=" is no key. Lines before the first section belong to no section. There is no comment
//     syntax: a ";" line is an ordinary line.
//   - An absent file, section or key reads as the default; so does a path that is not a
//     readable file (a directory, say). A key that is present with an empty value reads as "". A value in matching quotation
//     marks (" or ') is read without them.
//   - Lines end in LF or CR LF; a lone CR is an ordinary character (trimmed at the ends of names
//     and values). Any other byte, NUL included, is an ordinary character.
//   - Integers follow StrToInt (decimal with sign, "$" or "0x" hexadecimal), booleans are
//     integers with non-zero meaning true, reals follow StrToFloat ("." only); a value that does
//     not convert, an empty one included, reads as the default.
//
// Writing
//   - An existing key keeps its line: everything up to the "=" and the blanks after it stays as
//     it was (the key's own spelling too); only the old value and what follows it on the line is
//     replaced.
//   - A new key goes on a new line after the last non-blank line of its section (so blank lines
//     that separate it from the next section stay where they are).
//   - A new section goes at the end of the file, after one blank line unless the file is empty
//     or already ends in a blank line.
//   - New lines end like the file's first line (CR LF when the file has no line end yet or does
//     not exist). When a line has to be added after a last line that has no line end, that line
//     gets one. Every other byte of the file stays as it was.
//   - Text is single-byte Latin-1 in the file; a character outside Latin-1 is written as "?".
//     A line break in a value would split the line, so it is written as a blank. A value that
//     would not read back as it is (blanks at an end, or a pair of matching quotation marks
//     around it) is written inside double quotation marks, which reading removes again: what a
//     read gave, a write keeps.
//   - The file is created by the first write. A write that the platform refuses throws
//     EIniWriteError "Unable to write to <full path>"; the keys written before it stay written.
//
// How a write reaches the disk: an existing file is first opened for writing, unchanged, so that
// a file the platform does not let us write is refused even though it could be replaced. The new
// contents then go to a temporary file beside it (same permissions), which is renamed over it; a
// crash never leaves half a file, and a full disk leaves the file as it was. When no temporary
// file can be made there (the directory is read-only but the file is not) or the rename fails,
// the file is rewritten in place instead; a symbolic link is always written through in place, so
// it stays a link. A new file is written directly. A file that exists but cannot be read (a
// directory, say) is refused, since writing it would lose what it holds. There is no fsync per
// key: the data is with the operating system when the call returns, which is what the next read
// and the next program see.

#include <QByteArray>
#include <QString>
#include <cstdint>

class TIniFile {
public:
    // `fileName` as a full path. An empty name stands for a file that does not exist: every key
    // reads as its default, every write is refused.
    explicit TIniFile(const QString& fileName);

    // The absolute path of the file, as the write error names it.
    const QString& FileName() const { return Name; }

    QString ReadString(const QString& section, const QString& key, const QString& fallback) const;
    int32_t ReadInteger(const QString& section, const QString& key, int32_t fallback) const;
    bool ReadBool(const QString& section, const QString& key, bool fallback) const;
    double ReadFloat(const QString& section, const QString& key, double fallback) const;

    void WriteString(const QString& section, const QString& key, const QString& value) const;
    // Decimal digits with a "-" when negative.
    void WriteInteger(const QString& section, const QString& key, int32_t value) const;
    // "1" or "0".
    void WriteBool(const QString& section, const QString& key, bool value) const;

private:
    // The value of the key, or a null QByteArray when the file, section or key is absent.
    QByteArray FindValue(const QString& section, const QString& key) const;
    void Store(const QByteArray& bytes) const;
    [[noreturn]] void Refuse() const;

    QString Name;
};
