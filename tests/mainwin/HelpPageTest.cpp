// The help page the help menu opens.
#include <QFile>
#include <QRegularExpression>
#include <QString>

#include <gtest/gtest.h>

// A browser shows a line break inside text, or between two inline tags, as a
// blank, which Japanese text never has: in the body, lines break only next
// to tags that start or end a block.
TEST(HelpPage, LinesBreakOnlyBetweenBlocks) {
    QFile f(QStringLiteral(TIRELMA_SOURCE_DIR "/docs/help.html"));
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QString page = QString::fromUtf8(f.readAll());
    const qsizetype body = page.indexOf(QStringLiteral("<body>"));
    ASSERT_GT(body, 0);
    static const QString block = QStringLiteral("(p|ol|ul|li|h1|h2|h3|table|tr|body|html)");
    static const QRegularExpression endsBlock(QStringLiteral("</?%1[^>]*>$").arg(block));
    static const QRegularExpression startsBlock(QStringLiteral("^</?%1[ >]").arg(block));
    const QStringList lines = page.mid(body).split(QLatin1Char('\n'));
    for (qsizetype i = 1; i < lines.size(); ++i) {
        const QString before = lines[i - 1].trimmed(), after = lines[i].trimmed();
        if (before.isEmpty() || after.isEmpty()) continue;
        EXPECT_TRUE(endsBlock.match(before).hasMatch() && startsBlock.match(after).hasMatch())
            << "a blank would show here: …" << before.right(16).toStdString() << " | "
            << after.left(16).toStdString() << "…";
    }
}
