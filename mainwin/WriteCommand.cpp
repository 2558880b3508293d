#include "WriteCommand.h"

#include <QFileInfo>

namespace mainwin {

CommandLine SplitCommand(const QString& text) {
    CommandLine out;
    QStringList words;
    QString word;
    bool inWord = false;
    QChar quote; // the quote open, or null
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c == u'\\' && quote != u'\'' && i + 1 < text.size() && text[i + 1] == u'"') {
            word += u'"';
            inWord = true;
            ++i;
        } else if (!quote.isNull()) {
            if (c == quote)
                quote = QChar();
            else
                word += c;
        } else if (c == u'"' || c == u'\'') {
            quote = c;
            inWord = true; // "" is an empty word of its own
        } else if (c == u' ' || c == u'\t') {
            if (inWord) words.append(std::exchange(word, QString()));
            inWord = false;
        } else {
            word += c;
            inWord = true;
        }
    }
    if (!quote.isNull()) {
        out.problem = QStringLiteral("書き込み後に実行するコマンドの引用符 (%1) が閉じていません。")
                          .arg(quote);
        return out;
    }
    if (inWord) words.append(word);
    if (words.isEmpty()) {
        out.problem = QStringLiteral("書き込み後に実行するコマンドが指定されていません。");
        return out;
    }
    out.program = words.takeFirst();
    out.arguments = words;
    return out;
}

std::vector<std::pair<QString, QString>>
CommandVariables(const QString& answer, const QString& line, const QStringList& cells) {
    std::vector<std::pair<QString, QString>> vars{
        {QStringLiteral("TIRELMA_ANSWER"), answer},
        {QStringLiteral("TIRELMA_LINE"), line},
        {QStringLiteral("TIRELMA_FIELD_COUNT"), QString::number(cells.size())},
    };
    for (qsizetype i = 0; i < cells.size(); ++i)
        vars.emplace_back(QStringLiteral("TIRELMA_FIELD_%1").arg(i + 1), cells[i]);
    return vars;
}

QString CommandMessage(const QString& program, CommandEnd end, int exitCode,
                       const QString& errorOutput) {
    const QString name =
        QFileInfo(program).fileName().isEmpty() ? program : QFileInfo(program).fileName();
    QString text;
    switch (end) {
    case CommandEnd::NotStarted:
        text = QStringLiteral("書き込み後のコマンド「%1」を実行できませんでした。"
                              "プログラムが見つからないか、実行できません。")
                   .arg(program);
        break;
    case CommandEnd::TimedOut:
        text = QStringLiteral("書き込み後のコマンド「%1」が%2秒たっても終わらないため、"
                              "終了させました。")
                   .arg(name)
                   .arg(kCommandSeconds);
        break;
    case CommandEnd::Crashed:
        text = QStringLiteral("書き込み後のコマンド「%1」が異常終了しました。").arg(name);
        break;
    case CommandEnd::Finished:
        if (exitCode == 0) return {};
        text = QStringLiteral("書き込み後のコマンド「%1」が終了コード %2 で終わりました。")
                   .arg(name)
                   .arg(exitCode);
        break;
    }
    // Its own last words, where it left some.
    const QStringList lines = errorOutput.trimmed().split(u'\n', Qt::SkipEmptyParts);
    if (end != CommandEnd::NotStarted && !lines.isEmpty())
        text += u'\n' + lines.back().trimmed().left(200);
    return text + QStringLiteral("\n(行は書き込みファイルに書き込んであります。)");
}

} // namespace mainwin
