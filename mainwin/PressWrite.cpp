#include "PressWrite.h"

#include "Fields.h"
#include "ResultFile.h"
#include "ResultRecord.h"

namespace mainwin {

namespace {

QString Q(const std::u16string& s) {
    return QString::fromStdU16String(s);
}

} // namespace

PressWrite WritePress(const std::u16string& answer, const std::u16string& comment,
                      const std::vector<engine::Reading>& readings, const engine::PressSetup& press,
                      const OutputSettings& output, const std::u16string& profileDir,
                      const QDateTime& now) {
    // The time of the write, local, to the second: 2024-03-09T14:05:07.
    const std::u16string stamp = now.toString(Qt::ISODate).toStdU16String();
    const engine::ResultRecord record = engine::MakeResultRecord(
        answer, comment, readings, press.area.settings.blanks.kugiri,
        {output.CommentBefore, output.CsvMode, output.TimeStamp, output.CsvHeader}, stamp);
    PressWrite w;
    w.result = engine::WriteResultLine(record.line, output.OutFileName, output.CsvMode, profileDir,
                                       record.header);
    w.line = record.line;
    w.message = ResultMessage(w.result);
    return w;
}

QString ClipboardText(const OutputSettings& output, const std::u16string& answer,
                      const std::vector<engine::Reading>& readings, const PressWrite& written) {
    if (!output.Clipboard || !written.written()) return {};
    if (output.ClipboardLine) return Q(written.line);
    return AnswerCells(answer, readings).join(u'\t');
}

QStringList AnswerCells(const std::u16string& answer,
                        const std::vector<engine::Reading>& readings) {
    const std::u16string& kugiri =
        readings.empty() ? std::u16string() : readings.front().area.blanks.kugiri;
    if (readings.size() > 1 && !kugiri.empty()) return Q(answer).split(Q(kugiri));
    return {Q(answer)};
}

WrittenLine Written(const OutputSettings& output, const std::u16string& answer,
                    const std::vector<engine::Reading>& readings, const PressWrite& written) {
    return {output, Q(answer), Q(written.line), AnswerCells(answer, readings)};
}

QString ResultMessage(const engine::ResultWrite& result) {
    switch (result.status) {
    case engine::ResultStatus::Written:
        return {};
    case engine::ResultStatus::WrittenToFallback:
        // Written, but not where the user will look for it.
        return (
            (result.foreign
                 ? QStringLiteral("書き込みファイル「%1」は Windows のパスで、そのフォルダはこの"
                                  "システムにはありません。")
                       .arg(Q(result.intended))
                 : QStringLiteral("書き込みファイルのフォルダ「%1」が見つかりません。")
                       .arg(Q(settings::FolderOf(result.intended)))) +
            QStringLiteral("\n結果は次のファイルに書き込みました。\n%1\n"
                           "書き込みファイルは「ﾌｧｲﾙ」の「書き込みファイル指定」で指定し直せます。")
                .arg(Q(result.file)));
    case engine::ResultStatus::NotEncodable:
        if (result.encoding == settings::ResultEncoding::Utf8NoMark) {
            return (QStringLiteral(
                        "書き込みファイルは BOM のない UTF-8 で書かれています。英数字と記号"
                        "のほかの文字を含む行は、1つのファイルに文字コードが混ざらないよう、"
                        "書き込みませんでした。\n%1\nメモ帳などで文字コードを「UTF-8 (BOM 付き)」"
                        "にして保存し直すと、そのまま書き込めます。")
                        .arg(Q(result.file)));
        }
        return (
            QStringLiteral("書き込みファイルの文字コード (%1) では書けない文字が含まれているため、"
                           "書き込みませんでした。\n%2\nその文字を直してから、もう一度書き込んで"
                           "ください。")
                .arg(Q(settings::EncodingName(result.encoding)), Q(result.file)));
    case engine::ResultStatus::Unsupported:
        return (
            QStringLiteral("書き込みファイルは、このプログラムでは行を追加できない形式 (UTF-16 BE、"
                           "UTF-32、BOM のない UTF-16 など) で保存されているため、書き込みません"
                           "でした。ファイルはそのままです。\n%1\nメモ帳などで文字コードを ANSI、"
                           "UTF-8 または UTF-16 LE (Unicode) にして保存し直すか、別の書き込み"
                           "ファイルを指定してください。")
                .arg(Q(result.file)));
    case engine::ResultStatus::Failed:
        return (
            QStringLiteral(
                "書き込みファイルに書き込めませんでした。\n%1\n"
                "読み取り専用になっていないか、ほかのプログラムが使っていないか確かめてください。")
                .arg(Q(result.file)));
    }
    return {};
}

} // namespace mainwin
