#pragma once

// A scratch folder that becomes the current directory for one test, where the
// program finds its three data files by their bare names.

#include <QByteArray>
#include <QDir>
#include <QString>
#include <QTemporaryDir>

namespace sumiraku::testing {

inline const QString kSettings = QStringLiteral("設定.txt");
inline const QString kHistory = QStringLiteral("履歴.txt");
inline const QString kDictionary = QStringLiteral("辞書.txt");

class Sandbox {
public:
    Sandbox();
    ~Sandbox() { QDir::setCurrent(previous_); }   // no copies: the folder is its own

    QString path() const { return dir_.path(); }
    void write(const QString &name, const QByteArray &bytes) const;
    QByteArray read(const QString &name) const;   // "<missing>" for no file
    void remove(const QString &name) const { QDir(path()).remove(name); }

    // The usual three files: 60 s, auto-save off, normal mode, a small dictionary.
    void writeDefaults(const QByteArray &dictionary = {}) const;

private:
    QTemporaryDir dir_;
    QString previous_;
};

// Code page 932 through glibc's iconv, independent of the program's own codec
// so that tests do not check it against itself: the bytes of a UTF-8 literal,
// and the text of any bytes, one U+FFFD for each bad spot (a lead byte with a
// trail byte is one spot).
QByteArray sjis(const char *utf8);
QString fromSjis(QByteArrayView bytes);

} // namespace sumiraku::testing
