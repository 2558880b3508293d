#include "ReadingNotice.h"

#include <QStringList>

namespace mainwin {

namespace {

// "12～13、40": the columns counted from 0 at the left, as the command-line
// reader counts them.
QString Columns(const std::vector<engine::UnreadPlace>& places) {
    QStringList parts;
    for (const auto& p : places)
        parts << (p.first == p.last ? QString::number(p.first)
                                    : QStringLiteral("%1～%2").arg(p.first).arg(p.last));
    return parts.join(QStringLiteral("、"));
}

QString MonitorText(const engine::Monitor& m) {
    QString text = QStringLiteral("%1×%2、位置 %3,%4")
                       .arg(m.rect.width)
                       .arg(m.rect.height)
                       .arg(m.rect.left)
                       .arg(m.rect.top);
    if (m.scalePercent > 0) text += QStringLiteral("、拡大率 %1%").arg(m.scalePercent);
    return text;
}

// The reasons the reading is incomplete.
QStringList Incomplete(const engine::Reading& r) {
    QStringList lines;
    switch (r.verdict.grab) {
    case engine::Grab::Whole:
        break;
    case engine::Grab::PartlyOff:
        lines << QStringLiteral("認識エリアの一部が画面の外にあります。その部分は読み取れません。");
        break;
    case engine::Grab::Off:
        lines << QStringLiteral(
            "認識エリアがどのモニターの上にもないため、何も読み取れません。"
            "モニターの構成が変わった場合は、認識エリアを指定し直してください。");
        break;
    case engine::Grab::Failed:
        // The system's own reason, where it gave one (a desktop that refused).
        lines << QStringLiteral("画面を読み取れなかったため、何も読み取れていません。");
        if (!r.verdict.failure.empty())
            lines << QStringLiteral("理由: ") + QString::fromStdU16String(r.verdict.failure);
        break;
    }
    if (!r.verdict.unread.empty())
        lines << QStringLiteral("読み取れない部分があります (赤枠、左から%1列目)。"
                                "その文字を「認識エリア指定、キャラクタ登録」で登録するか、"
                                "読み取る文字だけが入るように認識エリアを狭めてください。")
                     .arg(Columns(r.verdict.unread));
    return lines;
}

} // namespace

QString ReadingNotice(const engine::Reading& r) {
    QStringList lines = Incomplete(r);
    if (r.monitorChange)
        lines << QStringLiteral("この認識エリアを記録したときのモニター (%1) と、いまのモニター "
                                "(%2) が違います。文字の大きさや形が変わっていると読み取れません。")
                     .arg(MonitorText(r.monitorChange->recorded),
                          MonitorText(r.monitorChange->now));
    return lines.join(QLatin1Char('\n'));
}

QString WriteQuestion(const engine::Reading& r) {
    return Incomplete(r).join(QLatin1Char('\n')) +
           QStringLiteral("\n\nこの読み取り結果をこのまま書き込みますか?");
}

QList<QRect> UnreadMarks(const engine::Reading& r) {
    QList<QRect> marks;
    for (const auto& p : r.verdict.unread)
        marks << QRect(QPoint(p.first, p.top), QPoint(p.last, p.bottom));
    return marks;
}

} // namespace mainwin
