#include "config/IniFile.h"

#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>
#include <cstdio>
#include <cstring>

#include "core/Conversions.h"
#include "core/Errors.h"

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f'; }

// One line of the file: its text is [Begin, End), its line end (LF or CR LF, or none on a last
// line) is [End, Next).
struct TLine {
    qsizetype Begin = 0;
    qsizetype End = 0;
    qsizetype Next = 0;
};

bool NextLine(const QByteArray& bytes, qsizetype pos, TLine& line)
{
    if (pos >= bytes.size())
        return false;
    const char* data = bytes.constData();
    const void* lf = std::memchr(data + pos, '\n', static_cast<size_t>(bytes.size() - pos));
    line.Begin = pos;
    if (!lf) {
        line.End = bytes.size();
        line.Next = bytes.size();
    } else {
        const qsizetype at = static_cast<const char*>(lf) - data;
        line.Next = at + 1;
        line.End = (at > pos && data[at - 1] == '\r') ? at - 1 : at;
    }
    return true;
}

bool IsBlankLine(const QByteArray& bytes, const TLine& line)
{
    for (qsizetype i = line.Begin; i < line.End; ++i)
        if (!IsBlank(bytes[i]))
            return false;
    return true;
}

bool HasLineEnd(const TLine& line) { return line.Next > line.End; }

enum class TLineKind { Other, Section, Key };

struct TParsedLine {
    TLineKind Kind = TLineKind::Other;
    qsizetype NameBegin = 0;   // section or key name, blanks removed
    qsizetype NameEnd = 0;
    qsizetype ValueBegin = 0;  // key value, blanks removed
    qsizetype ValueEnd = 0;
};

void Trim(const QByteArray& bytes, qsizetype& begin, qsizetype& end)
{
    while (begin < end && IsBlank(bytes[begin]))
        ++begin;
    while (end > begin && IsBlank(bytes[end - 1]))
        --end;
}

TParsedLine ParseLine(const QByteArray& bytes, const TLine& line)
{
    TParsedLine parsed;
    const char* data = bytes.constData();
    qsizetype start = line.Begin;
    while (start < line.End && IsBlank(data[start]))
        ++start;
    if (start < line.End && data[start] == '[') {
        qsizetype close = start + 1;
        while (close < line.End && data[close] != ']')
            ++close;
        if (close < line.End) {
            parsed.Kind = TLineKind::Section;
            parsed.NameBegin = start + 1;
            parsed.NameEnd = close;
            Trim(bytes, parsed.NameBegin, parsed.NameEnd);
            return parsed;
        }
    }
    const void* eq = std::memchr(data + start, '=', static_cast<size_t>(line.End - start));
    if (!eq)
        return parsed;
    const qsizetype at = static_cast<const char*>(eq) - data;
    parsed.Kind = TLineKind::Key;
    parsed.NameBegin = start;
    parsed.NameEnd = at;
    Trim(bytes, parsed.NameBegin, parsed.NameEnd);
    parsed.ValueBegin = at + 1;
    parsed.ValueEnd = line.End;
    Trim(bytes, parsed.ValueBegin, parsed.ValueEnd);
    if (parsed.ValueBegin == parsed.ValueEnd)
        parsed.ValueBegin = parsed.ValueEnd = at + 1;
    return parsed;
}

bool NameIs(const QByteArray& bytes, qsizetype begin, qsizetype end, const QString& name)
{
    // Latin-1 has one character per byte, and case folding keeps the length.
    if (end - begin != name.size())
        return false;
    return QString::fromLatin1(bytes.constData() + begin, end - begin).compare(name, Qt::CaseInsensitive) == 0;
}

enum class TLoadResult { Absent, Read, Unreadable };

TLoadResult LoadFile(const QString& name, QByteArray& bytes)
{
    bytes.clear();
    if (name.isEmpty() || !QFile::exists(name))
        return TLoadResult::Absent;
    QFile file(name);
    if (!file.open(QIODevice::ReadOnly))
        return TLoadResult::Unreadable;
    bytes = file.readAll();
    return file.error() == QFileDevice::NoError ? TLoadResult::Read : TLoadResult::Unreadable;
}

// The line end the file already uses, for the lines a write adds.
QByteArray LineEndOf(const QByteArray& bytes)
{
    const qsizetype lf = bytes.indexOf('\n');
    if (lf < 0 || (lf > 0 && bytes[lf - 1] == '\r'))
        return QByteArrayLiteral("\r\n");
    return QByteArrayLiteral("\n");
}

QByteArray ValueBytes(const QString& value)
{
    QByteArray bytes = value.toLatin1();
    bytes.replace('\r', ' ');
    bytes.replace('\n', ' ');
    return bytes;
}

// A value as it goes into the file. One that reading would not give back as it is (blanks at
// an end, which reading trims, or a pair of matching quotation marks around it, which reading
// removes) goes inside double quotation marks, exactly the pair that reading removes again.
QByteArray StoredValue(const QString& value)
{
    const QByteArray bytes = ValueBytes(value);
    const bool blankEnd = !bytes.isEmpty() && (IsBlank(bytes.front()) || IsBlank(bytes.back()));
    const bool quoted = bytes.size() >= 2 && (bytes.front() == '"' || bytes.front() == '\'') && bytes.back() == bytes.front();
    return blankEnd || quoted ? '"' + bytes + '"' : bytes;
}

bool WriteWhole(QFile& file, const QByteArray& bytes)
{
    return file.write(bytes) == bytes.size() && file.flush();
}

enum class TReplaceResult { Replaced, NotHere, Failed };

// Writes the new contents beside the file and renames them over it. NotHere when no temporary
// file can be made beside it or the rename is refused; Failed when the contents could not be
// written (a full disk, say). In both cases the file is as it was.
TReplaceResult ReplaceByRename(const QString& name, const QByteArray& bytes)
{
    QTemporaryFile temp(name + QStringLiteral(".XXXXXX"));
    if (!temp.open())
        return TReplaceResult::NotHere;
    if (!WriteWhole(temp, bytes))
        return TReplaceResult::Failed;
    // Only the file's own owner, group and other bits: the "current user" bits would give the
    // copy a write permission the original did not have.
    const QFileDevice::Permissions kept = QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner |
                                          QFileDevice::ReadGroup | QFileDevice::WriteGroup | QFileDevice::ExeGroup |
                                          QFileDevice::ReadOther | QFileDevice::WriteOther | QFileDevice::ExeOther;
    temp.setPermissions(QFile::permissions(name) & kept);
    temp.close();
    if (std::rename(QFile::encodeName(temp.fileName()).constData(), QFile::encodeName(name).constData()) != 0)
        return TReplaceResult::NotHere;
    temp.setAutoRemove(false);
    return TReplaceResult::Replaced;
}

bool WriteInPlace(const QString& name, const QByteArray& bytes)
{
    QFile file(name);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    const bool written = WriteWhole(file, bytes);
    file.close();
    return written && file.error() == QFileDevice::NoError;
}

} // namespace

TIniFile::TIniFile(const QString& fileName)
    : Name(fileName.isEmpty() || QFileInfo(fileName).isAbsolute() ? fileName : QFileInfo(fileName).absoluteFilePath())
{
}

QByteArray TIniFile::FindValue(const QString& section, const QString& key) const
{
    QByteArray bytes;
    if (LoadFile(Name, bytes) != TLoadResult::Read)
        return QByteArray();
    bool inSection = false;
    TLine line;
    for (qsizetype pos = 0; NextLine(bytes, pos, line); pos = line.Next) {
        const TParsedLine parsed = ParseLine(bytes, line);
        if (parsed.Kind == TLineKind::Section) {
            if (inSection)
                break;
            inSection = NameIs(bytes, parsed.NameBegin, parsed.NameEnd, section);
        } else if (inSection && parsed.Kind == TLineKind::Key
                   && NameIs(bytes, parsed.NameBegin, parsed.NameEnd, key)) {
            // Never null, even when empty: a present key with no value is not an absent one.
            QByteArray value(bytes.constData() + parsed.ValueBegin, parsed.ValueEnd - parsed.ValueBegin);
            // A value in matching quotation marks is read without them, as the platform does.
            if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front())
                value = value.mid(1, value.size() - 2);
            if (value.isNull())
                value = QByteArray("");
            return value;
        }
    }
    return QByteArray();
}

QString TIniFile::ReadString(const QString& section, const QString& key, const QString& fallback) const
{
    const QByteArray value = FindValue(section, key);
    return value.isNull() ? fallback : QString::fromLatin1(value);
}

int32_t TIniFile::ReadInteger(const QString& section, const QString& key, int32_t fallback) const
{
    const QByteArray value = FindValue(section, key);
    return value.isNull() ? fallback : StrToIntDef(QString::fromLatin1(value), fallback);
}

bool TIniFile::ReadBool(const QString& section, const QString& key, bool fallback) const
{
    return ReadInteger(section, key, fallback ? 1 : 0) != 0;
}

double TIniFile::ReadFloat(const QString& section, const QString& key, double fallback) const
{
    const QByteArray value = FindValue(section, key);
    return value.isNull() ? fallback : StrToFloatDef(QString::fromLatin1(value), fallback);
}

void TIniFile::WriteString(const QString& section, const QString& key, const QString& value) const
{
    QByteArray bytes;
    const TLoadResult loaded = LoadFile(Name, bytes);
    if (Name.isEmpty() || loaded == TLoadResult::Unreadable)
        Refuse();
    const QByteArray lineEnd = LineEndOf(bytes);
    const QByteArray newValue = StoredValue(value);

    bool inSection = false;
    bool sectionFound = false;
    TLine lastFilled;  // the last non-blank line of the section, its header at least
    TLine lastLine;
    TLine line;
    for (qsizetype pos = 0; NextLine(bytes, pos, line); pos = line.Next) {
        lastLine = line;
        const TParsedLine parsed = ParseLine(bytes, line);
        if (parsed.Kind == TLineKind::Section) {
            if (inSection)
                break;
            inSection = NameIs(bytes, parsed.NameBegin, parsed.NameEnd, section);
            if (inSection) {
                sectionFound = true;
                lastFilled = line;
            }
            continue;
        }
        if (!inSection)
            continue;
        if (parsed.Kind == TLineKind::Key && NameIs(bytes, parsed.NameBegin, parsed.NameEnd, key)) {
            bytes.replace(parsed.ValueBegin, line.End - parsed.ValueBegin, newValue);
            Store(bytes);
            return;
        }
        if (!IsBlankLine(bytes, line))
            lastFilled = line;
    }

    const QByteArray keyLine = ValueBytes(key) + '=' + newValue + lineEnd;
    if (sectionFound) {
        QByteArray insert;
        if (!HasLineEnd(lastFilled))
            insert += lineEnd;
        insert += keyLine;
        bytes.insert(lastFilled.Next, insert);
    } else {
        if (!bytes.isEmpty()) {
            if (!HasLineEnd(lastLine))
                bytes += lineEnd;
            if (!IsBlankLine(bytes, lastLine))
                bytes += lineEnd;
        }
        bytes += '[' + ValueBytes(section) + ']' + lineEnd + keyLine;
    }
    Store(bytes);
}

void TIniFile::WriteInteger(const QString& section, const QString& key, int32_t value) const
{
    WriteString(section, key, QString::number(value));
}

void TIniFile::WriteBool(const QString& section, const QString& key, bool value) const
{
    WriteString(section, key, value ? QStringLiteral("1") : QStringLiteral("0"));
}

void TIniFile::Store(const QByteArray& bytes) const
{
    if (QFile::exists(Name)) {
        // Asking for write access, without changing anything, is what tells a file we may not
        // write (read-only, on a read-only mount, ...) from one we may replace.
        QFile probe(Name);
        if (!probe.open(QIODevice::ReadWrite | QIODevice::ExistingOnly))
            Refuse();
        probe.close();
        // A link stays a link: its target is written in place.
        if (!QFileInfo(Name).isSymLink()) {
            const TReplaceResult replaced = ReplaceByRename(Name, bytes);
            if (replaced == TReplaceResult::Replaced)
                return;
            // Rewriting the file in place after the same contents failed to go to disk would
            // only leave it half written.
            if (replaced == TReplaceResult::Failed)
                Refuse();
        }
    }
    if (!WriteInPlace(Name, bytes))
        Refuse();
}

void TIniFile::Refuse() const
{
    throw EIniWriteError(QStringLiteral("Unable to write to %1").arg(Name));
}
