#include "WriteFailureNotice.h"

#include "FileIo.h"

#include <QTimer>

namespace mainwin {

WriteFailureNotice::WriteFailureNotice(platform::Dialogs& dialogs, store::ProfileStore& profile)
    : dialogs_(dialogs), profile_(profile) {
    profile_.setWriteFailureHandler([this](const store::WriteFailure& f) { refused(f); });
}

WriteFailureNotice::~WriteFailureNotice() {
    profile_.setWriteFailureHandler({});
}

QString WriteFailureNotice::Text(const store::WriteFailure& f, const QString& path) {
    if (f.status == settings::WriteStatus::IoError)
        return QStringLiteral("設定ファイルに書き込めませんでした。\n%1\n"
                              "ファイルやフォルダが読み取り専用になっていないか確かめてください。"
                              "設定は保存されていません。")
            .arg(path);
    if (f.status == settings::WriteStatus::UnsupportedFile)
        return QStringLiteral("設定ファイルがこのプログラムでは書き込めない形式 (UTF-16 BE など) "
                              "で保存されているため、設定は保存されていません。\n%1\n"
                              "メモ帳などで文字コードを ANSI、UTF-8 または UTF-16 LE (Unicode) "
                              "にして保存し直してください。")
            .arg(path);
    return QStringLiteral("設定ファイルに保存できない文字が含まれているため、[%1] の %2 "
                          "は保存されませんでした。")
        .arg(QString::fromStdU16String(f.section), QString::fromStdU16String(f.key));
}

void WriteFailureNotice::refused(const store::WriteFailure& failure) {
    if (pending_) return;
    pending_ = true;
    const QString text =
        Text(failure, QString::fromStdU16String(settings::TextFromPath(profile_.path())));
    // Shown once the writes in progress are over.
    QTimer::singleShot(0, this, [this, text] {
        dialogs_.message(nullptr, text, QStringLiteral("Tirelma"),
                         platform::Dialogs::Icon::Warning);
        pending_ = false;
    });
}

} // namespace mainwin
