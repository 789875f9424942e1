#include "runtime/runtime_error.h"

namespace sumiraku {

RuntimeError::RuntimeError(ErrorNumber number, QString file, QString detail, Access access)
    : number_(number), file_(std::move(file)), detail_(std::move(detail)), access_(access)
{
    what_ = message().toUtf8();
}

QString RuntimeError::description() const
{
    switch (number_) {
    case ErrorNumber::Overflow: return QStringLiteral("オーバーフローしました。");
    case ErrorNumber::TypeMismatch: return QStringLiteral("型が一致しません。");
    case ErrorNumber::BadFileName: return QStringLiteral("ファイル名または番号が不正です。");
    case ErrorNumber::FileNotFound: return QStringLiteral("ファイルが見つかりません。");
    case ErrorNumber::DeviceIo: return QStringLiteral("デバイス I/O エラーです。");
    case ErrorNumber::DiskFull: return QStringLiteral("ディスクの空き容量が不足しています。");
    case ErrorNumber::InputPastEnd: return QStringLiteral("ファイルにこれ以上データがありません。");
    case ErrorNumber::PermissionDenied:
        // The classic text blames writing alone, reading too.
        return access_ == Access::Read ? QStringLiteral("読み込みできません。")
                                       : QStringLiteral("書き込みできません。");
    case ErrorNumber::PathFileAccess: return QStringLiteral("パス名が無効です。");
    case ErrorNumber::InvalidFileFormat: return QStringLiteral("ファイル形式が不正です。");
    }
    return QStringLiteral("アプリケーション定義またはオブジェクト定義のエラーです。");
}

QString RuntimeError::message() const
{
    QString text = QStringLiteral("実行時エラー '%1':\n\n%2")
                       .arg(static_cast<int>(number_))
                       .arg(description());
    if (!file_.isEmpty())
        text += QStringLiteral("\n\nファイル: %1").arg(file_);
    if (access_ != Access::None)
        text += access_ == Access::Read ? QStringLiteral("\n読み込みに失敗しました。")
                                        : QStringLiteral("\n書き込みに失敗しました。");
    if (!detail_.isEmpty())
        text += QStringLiteral("\n%1").arg(detail_);
    return text;
}

const char *RuntimeError::what() const noexcept
{
    return what_.constData();
}

} // namespace sumiraku
