#include "frmTuika.h"

#include "Twips.h"

#include <QCloseEvent>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>

namespace editor {

using platform::kTwipsPerPixel;
using platform::Twips;
using platform::TwipsToPixels;

frmTuika::frmTuika(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("新規追加"));
    setFixedSize(TwipsToPixels(5730), TwipsToPixels(2295));

    Frame1 = new QGroupBox(this);
    Frame1->setObjectName(QStringLiteral("Frame1"));
    Frame1->setGeometry(Twips(600, 360, 3735, 855));
    txtName = new QLineEdit(Frame1);
    txtName->setObjectName(QStringLiteral("txtName"));
    txtName->setGeometry(Twips(120, 240, 3495, 495));
    OKButton = new QPushButton(QStringLiteral("OK"), this);
    OKButton->setObjectName(QStringLiteral("OKButton"));
    OKButton->setGeometry(Twips(600, 1440, 2175, 615));
    CancelButton = new QPushButton(QStringLiteral("ｷｬﾝｾﾙ"), this);
    CancelButton->setObjectName(QStringLiteral("CancelButton"));
    CancelButton->setGeometry(Twips(3000, 1440, 2175, 615));

    // Enter does not press OK: no button is a default one.
    OKButton->setAutoDefault(false);
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
    // Enter is not bound to any button.
    if (e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter) return;
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
