// The small dialog that asks for the name of a new area or character group.
// The caller sets the caption of Frame1, clears txtName, shows the dialog
// modally and then reads CFlg (true: cancelled) and txtName. The dialog is
// hidden, not destroyed, when answered, so both can be read afterwards.
#pragma once

#include <QDialog>

class QGroupBox;
class QLineEdit;
class QPushButton;

namespace editor {

class frmTuika : public QDialog {
    Q_OBJECT
public:
    explicit frmTuika(QWidget* parent = nullptr);

    // The question: the frame's caption, which also names the text box for
    // screen readers.
    void setQuestion(const QString& caption);
    QString name() const;
    void setName(const QString& text);

    // True when the last showing was cancelled.
    bool CFlg = false;

    void OKButton_Click();
    void CancelButton_Click();

protected:
    void keyPressEvent(QKeyEvent* e) override;
    void closeEvent(QCloseEvent* e) override;
    void showEvent(QShowEvent* e) override;

private:
    QGroupBox* Frame1;
    QLineEdit* txtName;
    QPushButton* OKButton;
    QPushButton* CancelButton;
};

} // namespace editor
