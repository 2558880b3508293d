#include "frmTuika.h"

#include "Twips.h"

#include <QCloseEvent>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>

namespace editor {

using platform::kTwipsPerPixel;
using platform::Twips;
using platform::TwipsToPixels;

frmTuika::frmTuika(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("新規追加"));
    setFixedSize(TwipsToPixels(5730), TwipsToPixels(2295));

    Frame1 = new QGroupBox(this);
    Frame1->setObjectName(QStringLiteral("Frame1"));
    txtName = new QLineEdit(Frame1);
    txtName->setObjectName(QStringLiteral("txtName"));
    // The box goes below the frame's caption, whatever the font: placed by a
    // layout, not at the design position inside the frame (where it covered
    // the caption and stuck out over the frame's top edge).
    auto* inside = new QVBoxLayout(Frame1);
    inside->setContentsMargins(TwipsToPixels(120), TwipsToPixels(45), TwipsToPixels(120),
                               TwipsToPixels(90));
    inside->addWidget(txtName);
    const QRect frame = Twips(600, 360, 3735, 855);
    Frame1->setGeometry(frame.left(), frame.top(), frame.width(),
                        std::max(frame.height(), Frame1->sizeHint().height()));
    OKButton = new QPushButton(QStringLiteral("OK"), this);
    OKButton->setObjectName(QStringLiteral("OKButton"));
    OKButton->setGeometry(Twips(600, 1440, 2175, 615));
    CancelButton = new QPushButton(QStringLiteral("ｷｬﾝｾﾙ"), this);
    CancelButton->setObjectName(QStringLiteral("CancelButton"));
    CancelButton->setGeometry(Twips(3000, 1440, 2175, 615));

    // Enter presses OK, Esc Cancel.
    OKButton->setAutoDefault(false);
    OKButton->setDefault(true);
    CancelButton->setAutoDefault(false);
    setTabOrder(txtName, OKButton);
    setTabOrder(OKButton, CancelButton);

    connect(OKButton, &QPushButton::clicked, this, &frmTuika::OKButton_Click);
    connect(CancelButton, &QPushButton::clicked, this, &frmTuika::CancelButton_Click);
}

void frmTuika::setQuestion(const QString& caption) {
    Frame1->setTitle(caption);
    txtName->setAccessibleName(caption);
}

QString frmTuika::name() const {
    return txtName->text();
}

void frmTuika::setName(const QString& text) {
    txtName->setText(text);
}

void frmTuika::OKButton_Click() {
    if (txtName->text().isEmpty()) return;
    CFlg = false;
    hide();
}

void frmTuika::CancelButton_Click() {
    CFlg = true;
    hide();
}

void frmTuika::keyPressEvent(QKeyEvent* e) {
    if (e->key() == Qt::Key_Escape) {
        CancelButton->click();
        return;
    }
    if (e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter) {
        OKButton->click();
        return;
    }
    QDialog::keyPressEvent(e);
}

void frmTuika::closeEvent(QCloseEvent* e) {
    // Closing from the window frame answers like Cancel: nothing is created.
    CFlg = true;
    QDialog::closeEvent(e);
}

void frmTuika::showEvent(QShowEvent* e) {
    QDialog::showEvent(e);
    txtName->setFocus();
}

} // namespace editor
