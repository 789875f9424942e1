#pragma once

#include <QString>
#include <exception>

namespace sumiraku {

// Error numbers follow the classic runtime, so a report reads the way long-time
// players of the program know it.
enum class ErrorNumber : int {
    Overflow = 6,
    TypeMismatch = 13,
    BadFileName = 52,
    FileNotFound = 53,
    DeviceIo = 57,
    DiskFull = 61,
    InputPastEnd = 62,
    PermissionDenied = 70,
    PathFileAccess = 75,
    InvalidFileFormat = 321,
};

// Whether reading or writing a file failed, for errors that have a file.
enum class Access { None, Read, Write };

// An error that ends the current event procedure. The boundary around every
// procedure reports it and ends the program; only the end of a game skips it.
class RuntimeError : public std::exception {
public:
    RuntimeError(ErrorNumber number, QString file = {}, QString detail = {},
                 Access access = Access::None);

    ErrorNumber number() const { return number_; }
    QString description() const;          // the runtime's own wording
    const QString &file() const { return file_; }
    const QString &detail() const { return detail_; }
    Access access() const { return access_; }
    QString message() const;              // the whole text of the error box
    const char *what() const noexcept override;

private:
    ErrorNumber number_;
    QString file_;
    QString detail_;
    Access access_;
    QByteArray what_;
};

} // namespace sumiraku
