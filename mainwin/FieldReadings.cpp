#include "FieldReadings.h"

#include "AreaPicture.h"
#include "ReadingNotice.h"
#include "ScreenReading.h"

#include <QGridLayout>
#include <QLabel>

namespace mainwin {

namespace {

// The pictures of fields are as high as the area's own at most.
constexpr QSize kFieldPictureRoom(160, 34);

} // namespace

FieldReadings::FieldReadings(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("fraFields"));
    setAccessibleName(QStringLiteral("続けて読むエリア"));
    grid_ = new QGridLayout(this);
    grid_->setContentsMargins(0, 0, 0, 0);
    grid_->setHorizontalSpacing(6);
    grid_->setVerticalSpacing(2);
    grid_->setColumnStretch(2, 1);
    hide();
}

void FieldReadings::showReadings(const std::vector<engine::Reading>& readings) {
    while (QLayoutItem* item = grid_->takeAt(0)) {
        delete item->widget();
        delete item;
    }
    for (std::size_t i = 1; i < readings.size(); ++i) {
        const engine::Reading& r = readings[i];
        const int row = static_cast<int>(i - 1);
        auto* name = new QLabel(QString::fromStdU16String(r.area.name), this);
        name->setObjectName(QStringLiteral("lblField%1").arg(row));
        auto* picture = new QLabel(this);
        picture->setObjectName(QStringLiteral("picField%1").arg(row));
        picture->setAccessibleName(
            QStringLiteral("「%1」の画像").arg(QString::fromStdU16String(r.area.name)));
        if (r.picture.width > 0 && r.picture.height > 0)
            picture->setPixmap(AreaPixmap(capture::ToQImage(r.picture), kFieldPictureRoom,
                                          devicePixelRatioF(), UnreadMarks(r)));
        auto* text = new QLabel(this);
        text->setObjectName(QStringLiteral("txtField%1").arg(row));
        text->setTextInteractionFlags(Qt::TextSelectableByMouse);
        text->setWordWrap(true);
        const QString trouble = FieldTrouble(r);
        const QString read = QString::fromStdU16String(r.text);
        if (trouble.isEmpty()) {
            // Plain: a reading is no markup, and plain text draws at once.
            text->setTextFormat(Qt::PlainText);
            text->setText(read);
        } else {
            text->setTextFormat(Qt::RichText);
            text->setText(read.toHtmlEscaped() +
                          QStringLiteral(" <span style=\"color:#c00000\">%1</span>")
                              .arg(trouble.toHtmlEscaped()));
        }
        name->setBuddy(text);
        grid_->addWidget(name, row, 0, Qt::AlignLeft | Qt::AlignVCenter);
        grid_->addWidget(picture, row, 1, Qt::AlignLeft | Qt::AlignVCenter);
        grid_->addWidget(text, row, 2, Qt::AlignLeft | Qt::AlignVCenter);
    }
    setVisible(readings.size() > 1);
}

int FieldReadings::heightFor(int width) const {
    if (grid_->isEmpty()) return 0;
    return grid_->hasHeightForWidth() ? grid_->totalHeightForWidth(width)
                                      : grid_->totalSizeHint().height();
}

QString FieldTrouble(const engine::Reading& r) {
    switch (r.mark) {
    case engine::FieldMark::MissingArea:
        return QStringLiteral("(この名前の認識エリアはありません)");
    case engine::FieldMark::Self:
        return QStringLiteral("(エリア自身は続けて読めません)");
    case engine::FieldMark::Duplicate:
        return QStringLiteral("(2回目の指定のため読みません)");
    case engine::FieldMark::HasFields:
    case engine::FieldMark::None:
        break;
    }
    switch (r.verdict.grab) {
    case engine::Grab::Off:
        return QStringLiteral("(画面の外にあります)");
    case engine::Grab::Failed:
        return QStringLiteral("(画面を読み取れませんでした)");
    case engine::Grab::PartlyOff:
        return QStringLiteral("(一部が画面の外にあります)");
    case engine::Grab::Whole:
        break;
    }
    if (!r.verdict.unread.empty()) return QStringLiteral("(読み取れない部分があります)");
    return {};
}

} // namespace mainwin
