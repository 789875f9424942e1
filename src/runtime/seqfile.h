#pragma once

// Sequential data files, opened by bare name in the current directory, with the
// classic comma-separated field format. Files are read whole and decoded at
// once; every failure raises a RuntimeError that names the file and the
// system's reason.

#include "runtime/runtime_error.h"

#include <QByteArray>
#include <QString>
#include <initializer_list>
#include <variant>

namespace sumiraku {

// The largest data file read. The formats' largest legal files (32,766 history
// records, 32,767 idioms) take a few MB; a file beyond this is none of them,
// and reading it whole would only exhaust memory.
inline constexpr qint64 kMaxDataFileBytes = 16 * 1024 * 1024;

// The bytes of a whole file (missing: FileNotFound; a folder, a FIFO, a device
// or unreadable: PathFileAccess or PermissionDenied; larger than
// kMaxDataFileBytes: Overflow). Never waits for a writer.
QByteArray readFileBytes(const QString &fileName);

// The part of a text file the classic reader sees: up to the first Ctrl-Z
// (0x1A), the old end-of-file mark, or all of it. In code page 932 and UTF-8
// that byte stands for itself alone, never inside a character.
QByteArrayView textOfFile(QByteArrayView bytes);
// The same part kept as bytes of its own, for a reader to hold: no copy unless
// a mark cuts it short.
QByteArray ownedTextOfFile(QByteArray bytes);

// The settings and the history are written in code page 932, so one saved as
// UTF-8 (with or without its byte-order mark) would come out of the next write
// mixed: InvalidFileFormat, saying so.
void requireCp932(QByteArrayView bytes, const QString &fileName);

// Reads fields the way the classic input statement does:
// - blanks (spaces, tabs) before a field are skipped;
// - a field that begins with a double quote runs to the next double quote and
//   is taken without the quotes; whatever stands after the closing quote up to
//   the next comma or line end is dropped;
// - an unquoted field runs to the next comma or line end; blanks at its end are
//   dropped;
// - a comma, CR LF, a lone CR or a lone LF ends a field and is consumed, so an
//   empty line is one empty field, and a final line end makes no extra field;
// - reading when nothing is left raises InputPastEnd.
// It reads the file's bytes undecoded: blanks, quotes and delimiters are ASCII,
// and no byte of a double-byte character in code page 932 (nor of a multibyte
// one in UTF-8) is one of them, so a field found in the bytes is the field
// found in the decoded text. Only what is looked at needs decoding.
class FieldReader {
public:
    FieldReader(QByteArray text, QString fileName);

    bool atEnd() const { return pos_ >= text_.size(); }
    // The next field decoded from code page 932.
    QString readString();
    // The next field's bytes, a view into the reader's text valid while the
    // reader lives.
    QByteArrayView readView();
    // A field read into a 16-bit integer: not a number is a type mismatch, out
    // of range an overflow. The error's detail names the field's text.
    qint16 readInteger();

    const QString &fileName() const { return fileName_; }
    const QByteArray &text() const { return text_; }
    // Where the next field is read from: a place kept here may be read again.
    qsizetype position() const { return pos_; }
    void seek(qsizetype pos) { pos_ = pos; }
    // The line, from 1, on which the field last read began.
    qsizetype line() const;

private:
    QByteArray text_;
    QString fileName_;
    qsizetype pos_ = 0;
    qsizetype fieldStart_ = 0;
};

// The number of fields a FieldReader reads from these bytes.
qsizetype countFields(QByteArrayView bytes);

// One record as the classic write statement puts it: texts in double quotes
// (not escaped), integers bare, fields separated by commas, ended by CR LF.
using RecordField = std::variant<QString, qint32>;
QString formatRecord(std::initializer_list<RecordField> fields);

// Replaces a whole file: writes beside it and renames, so the old content stays
// if anything fails. In a folder that takes no new file, an existing file is
// written over in place instead; a failure of that write is reported as any.
void replaceFile(const QString &fileName, const QByteArray &bytes);

// Appends bytes in one write; if the write fails part-way the file is cut back
// to its former length before the error is raised. Creates a missing file.
void appendToFile(const QString &fileName, const QByteArray &bytes);

// Opens for output and closes at once: the file exists afterwards with 0 bytes.
void emptyFile(const QString &fileName);

} // namespace sumiraku
