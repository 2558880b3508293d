#include "Dialogs.h"

#include "FileFilter.h"

#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>

namespace platform {

void QtDialogs::message(QWidget* parent, const QString& text, const QString& title, Icon icon) {
    QMessageBox box(parent);
    box.setText(text);
    box.setWindowTitle(title);
    switch (icon) {
    case Icon::None:
        box.setIcon(QMessageBox::NoIcon);
        break;
    case Icon::Information:
        box.setIcon(QMessageBox::Information);
        break;
    case Icon::Warning:
        box.setIcon(QMessageBox::Warning);
        break;
    case Icon::Critical:
        box.setIcon(QMessageBox::Critical);
        break;
    case Icon::Question:
        box.setIcon(QMessageBox::Question);
        break;
    }
    box.setStandardButtons(QMessageBox::Ok);
    box.exec();
}

namespace {

// A box with はい and いいえ, and キャンセル when asked for; the answer of the
// button clicked, Cancel when the box was closed otherwise.
Dialogs::Answer Ask(QWidget* parent, const QString& text, const QString& title,
                    QMessageBox::Icon icon, bool withCancel, bool noIsDefault) {
    QMessageBox box(parent);
    box.setText(text);
    box.setWindowTitle(title);
    box.setIcon(icon);
    QPushButton* yes = box.addButton(QStringLiteral("はい(&Y)"), QMessageBox::YesRole);
    QPushButton* no = box.addButton(QStringLiteral("いいえ(&N)"), QMessageBox::NoRole);
    QPushButton* cancel =
        withCancel ? box.addButton(QStringLiteral("キャンセル"), QMessageBox::RejectRole) : no;
    box.setDefaultButton(noIsDefault ? no : yes);
    box.setEscapeButton(cancel);
    box.exec();
    if (box.clickedButton() == yes) return Dialogs::Answer::Yes;
    if (box.clickedButton() == no) return Dialogs::Answer::No;
    return Dialogs::Answer::Cancel;
}

} // namespace

Dialogs::Answer QtDialogs::question(QWidget* parent, const QString& text, const QString& title) {
    return Ask(parent, text, title, QMessageBox::Question, true, false);
}

Dialogs::Answer QtDialogs::confirm(QWidget* parent, const QString& text, const QString& title) {
    const Answer a = Ask(parent, text, title, QMessageBox::Warning, false, true);
    return a == Answer::Yes ? Answer::Yes : Answer::No;
}

QString QtDialogs::openFileName(QWidget* parent, const QString& title, const QString& filter,
                                const QString& startPath) {
    QFileDialog dialog(parent, title);
    // It names a file to write to: "開く" would promise otherwise.
    dialog.setLabelText(QFileDialog::Accept, QStringLiteral("選択"));
    // An open dialog on which a file that does not exist yet may be named.
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setNameFilters(QtNameFilters(filter));
    if (!startPath.isEmpty()) dialog.selectFile(startPath);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
    return dialog.selectedFiles().front();
}

} // namespace platform
