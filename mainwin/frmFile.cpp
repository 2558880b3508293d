#include "frmFile.h"

#include "MainSettings.h"
#include "Placement.h"
#include "ProfileDocument.h"
#include "ProfileLayout.h"
#include "WriteCommand.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

#include <algorithm>

namespace mainwin {

namespace {

using platform::Twips;

QString Q(const std::u16string& s) {
    return QString::fromStdU16String(s);
}

constexpr int kOptionRow = 360; // twips

// A switch that is off unless set: written only once it is, so that a
// profile where nobody turned it on stays as it was.
void WriteSwitch(store::ProfileStore& ini, std::u16string_view key, bool on) {
    if (on || !ini.IniRead(profile::kEndData, key).empty())
        ini.IniWrite(profile::kEndData, key, profile::FlagText(on));
}

// A text that is empty unless set: written only once it is not.
void WriteText(store::ProfileStore& ini, std::u16string_view key, const std::u16string& text) {
    if (!text.empty() || !ini.IniRead(profile::kEndData, key).empty())
        ini.IniWrite(profile::kEndData, key, text);
}

constexpr int kOptionRows = 6; // below the CSV box

} // namespace

QString CsvFileName(const QString& name) {
    // Only the file's own name: a "." in a folder name (C:\data.2\,
    // C:\Users\taro.yamada\) must not send the results elsewhere.
    const qsizetype start = std::max(name.lastIndexOf(u'/'), name.lastIndexOf(u'\\')) + 1;
    const qsizetype dot = name.indexOf(u'.', start);
    if (dot < 0) return name;
    return name.left(dot + 1) + QStringLiteral("csv");
}

frmFile::frmFile(platform::Dialogs& dialogs, store::ProfileStore& profile, bool typesText,
                 QWidget* parent)
    : QDialog(parent), dialogs_(dialogs), profile_(profile) {
    setObjectName(QStringLiteral("frmFile"));
    setWindowTitle(QStringLiteral("Tirelma"));
    // Rows below the CSV box for the optional columns and the outputs.
    setFixedSize(Twips(0, 0, 5445, 4725 + kOptionRows * kOptionRow).size());

    Frame1 = new QGroupBox(QStringLiteral("書き込みファイル名"), this);
    Frame1->setObjectName(QStringLiteral("Frame1"));
    Frame1->setGeometry(Twips(120, 120, 5175, 1695));
    txtFileName = new QLineEdit(Frame1);
    txtFileName->setObjectName(QStringLiteral("txtFileName"));
    txtFileName->setGeometry(Twips(180, 300, 4815, 615));
    txtFileName->setAccessibleName(QStringLiteral("書き込みファイル名"));
    cmdFileSel = new QPushButton(QStringLiteral("ファイル指定"), Frame1);
    cmdFileSel->setObjectName(QStringLiteral("cmdFileSel"));
    cmdFileSel->setGeometry(Twips(2820, 1080, 2175, 435));

    Frame2 = new QGroupBox(QStringLiteral("コメント書込み位置設定"), this);
    Frame2->setObjectName(QStringLiteral("Frame2"));
    Frame2->setGeometry(Twips(120, 1920, 5175, 735));
    optCommentIti0 = new QRadioButton(QStringLiteral("コメントが前"), Frame2);
    optCommentIti0->setObjectName(QStringLiteral("optCommentIti0"));
    optCommentIti0->setGeometry(Twips(300, 360, 1875, 255));
    optCommentIti1 = new QRadioButton(QStringLiteral("コメントが後"), Frame2);
    optCommentIti1->setObjectName(QStringLiteral("optCommentIti1"));
    optCommentIti1->setGeometry(Twips(2400, 360, 1815, 255));

    Label1 = new QLabel(QStringLiteral("座標データ刻み指定"), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setGeometry(Twips(360, 2880, 2295, 255));
    txtKizami = new QLineEdit(this);
    txtKizami->setObjectName(QStringLiteral("txtKizami"));
    txtKizami->setGeometry(Twips(2640, 2880, 975, 285));
    Label1->setBuddy(txtKizami);
    chkCSV = new QCheckBox(QStringLiteral("CSV書き込み"), this);
    chkCSV->setObjectName(QStringLiteral("chkCSV"));
    chkCSV->setGeometry(Twips(360, 3360, 2175, 375));
    chkHeader = new QCheckBox(QStringLiteral("CSVの先頭に見出し行"), this);
    chkHeader->setObjectName(QStringLiteral("chkHeader"));
    chkHeader->setGeometry(Twips(2640, 3360, 2655, 375));
    chkTimeStamp = new QCheckBox(QStringLiteral("日時の列を付ける"), this);
    chkTimeStamp->setObjectName(QStringLiteral("chkTimeStamp"));
    chkTimeStamp->setGeometry(Twips(360, 3360 + kOptionRow, 2655, 375));
    chkNotice = new QCheckBox(QStringLiteral("書き込んだら通知"), this);
    chkNotice->setObjectName(QStringLiteral("chkNotice"));
    chkNotice->setGeometry(Twips(2640, 3360 + kOptionRow, 2655, 375));
    chkClipboard = new QCheckBox(QStringLiteral("クリップボードにもコピー"), this);
    chkClipboard->setObjectName(QStringLiteral("chkClipboard"));
    chkClipboard->setGeometry(Twips(360, 3360 + 2 * kOptionRow, 4935, 375));
    // What is copied: its own pair of options, on the row under it.
    auto* clipWhat = new QWidget(this);
    clipWhat->setGeometry(Twips(660, 3360 + 3 * kOptionRow, 4635, 375));
    optClipAnswer = new QRadioButton(QStringLiteral("認識結果"), clipWhat);
    optClipAnswer->setObjectName(QStringLiteral("optClipAnswer"));
    optClipAnswer->setGeometry(Twips(0, 0, 1980, 375));
    optClipLine = new QRadioButton(QStringLiteral("行全体"), clipWhat);
    optClipLine->setObjectName(QStringLiteral("optClipLine"));
    optClipLine->setGeometry(Twips(1980, 0, 1980, 375));

    // Typed into the window the user works in, and what follows it.
    chkTypeInto = new QCheckBox(QStringLiteral("前のウィンドウに入力"), this);
    chkTypeInto->setObjectName(QStringLiteral("chkTypeInto"));
    chkTypeInto->setGeometry(Twips(360, 3360 + 4 * kOptionRow, 2655, 375));
    cboTypeAfter = new QComboBox(this);
    cboTypeAfter->setObjectName(QStringLiteral("cboTypeAfter"));
    cboTypeAfter->setGeometry(Twips(3000, 3360 + 4 * kOptionRow, 2295, 330));
    cboTypeAfter->addItems({QStringLiteral("続けて何も押さない"), QStringLiteral("続けて Tab"),
                            QStringLiteral("続けて Enter")});
    cboTypeAfter->setAccessibleName(QStringLiteral("入力の後に押すキー"));
    if (!typesText) {
        // Not offered where the desktop lets no program type elsewhere.
        chkTypeInto->setEnabled(false);
        cboTypeAfter->hide();
        auto* why = new QLabel(QStringLiteral("この画面環境では使えません"), this);
        why->setObjectName(QStringLiteral("lblNoTyping"));
        why->setGeometry(Twips(3000, 3360 + 4 * kOptionRow, 2295, 375));
    }
    chkCommand = new QCheckBox(QStringLiteral("書き込み後に実行"), this);
    chkCommand->setObjectName(QStringLiteral("chkCommand"));
    chkCommand->setGeometry(Twips(360, 3360 + 5 * kOptionRow, 4935, 375));
    txtCommand = new QLineEdit(this);
    txtCommand->setObjectName(QStringLiteral("txtCommand"));
    txtCommand->setGeometry(Twips(660, 3360 + 6 * kOptionRow, 4635, 315));
    txtCommand->setAccessibleName(QStringLiteral("書き込み後に実行するコマンド"));
#ifdef Q_OS_WIN
    txtCommand->setPlaceholderText(
        QStringLiteral("例: cmd /c echo %TIRELMA_LINE%>> C:\\data\\log.txt"));
#else
    txtCommand->setPlaceholderText(
        QStringLiteral("例: sh -c 'echo \"$TIRELMA_LINE\" >> ~/readings.txt'"));
#endif
    txtCommand->setToolTip(QStringLiteral(
        "プログラムと引数 (シェルは通しません)。読み取った値は環境変数 TIRELMA_ANSWER、"
        "TIRELMA_LINE、TIRELMA_FIELD_1… で渡します。"));

    OKButton = new QPushButton(QStringLiteral("OK"), this);
    OKButton->setObjectName(QStringLiteral("OKButton"));
    OKButton->setGeometry(Twips(480, 3960 + kOptionRows * kOptionRow, 2175, 615));
    CancelButton = new QPushButton(QStringLiteral("ｷｬﾝｾﾙ"), this);
    CancelButton->setObjectName(QStringLiteral("CancelButton"));
    CancelButton->setGeometry(Twips(2880, 3960 + kOptionRows * kOptionRow, 2175, 615));
    // Enter presses the focused button; anywhere else it presses OK.
    for (QPushButton* b : {cmdFileSel, OKButton, CancelButton})
        b->setAutoDefault(true);
    OKButton->setDefault(true);

    // Top to bottom, as the controls stand.
    setTabOrder(txtFileName, cmdFileSel);
    setTabOrder(cmdFileSel, optCommentIti0);
    setTabOrder(optCommentIti0, optCommentIti1);
    setTabOrder(optCommentIti1, txtKizami);
    setTabOrder(txtKizami, chkCSV);
    setTabOrder(chkCSV, chkHeader);
    setTabOrder(chkHeader, chkTimeStamp);
    setTabOrder(chkTimeStamp, chkNotice);
    setTabOrder(chkNotice, chkClipboard);
    setTabOrder(chkClipboard, optClipAnswer);
    setTabOrder(optClipAnswer, optClipLine);
    setTabOrder(optClipLine, chkTypeInto);
    setTabOrder(chkTypeInto, cboTypeAfter);
    setTabOrder(cboTypeAfter, chkCommand);
    setTabOrder(chkCommand, txtCommand);
    setTabOrder(txtCommand, OKButton);
    setTabOrder(OKButton, CancelButton);

    connect(cmdFileSel, &QPushButton::clicked, this, &frmFile::cmdFileSel_Click);
    connect(OKButton, &QPushButton::clicked, this, &frmFile::OKButton_Click);
    connect(CancelButton, &QPushButton::clicked, this, &frmFile::CancelButton_Click);
    connect(chkCSV, &QCheckBox::stateChanged, this, &frmFile::chkCSV_Click);

    // Loaded afresh at every showing.
    txtFileName->setText(Q(profile_.IniRead(profile::kEndData, profile::kFileName)));
    if (profile::IsTrue(profile_.IniRead(profile::kEndData, profile::kCommentBefore)))
        optCommentIti0->setChecked(true);
    else
        optCommentIti1->setChecked(true);
    txtKizami->setText(Q(profile_.IniRead(profile::kEndData, profile::kKizami)));
    // Checking runs the same handler as a click: a stored name is shown with
    // its extension already changed.
    if (profile::IsTrue(profile_.IniRead(profile::kEndData, profile::kCsv)))
        chkCSV->setChecked(true);
    chkHeader->setChecked(
        profile::IsTrue(profile_.IniRead(profile::kEndData, profile::kCsvHeader)));
    chkTimeStamp->setChecked(
        profile::IsTrue(profile_.IniRead(profile::kEndData, profile::kTimeStamp)));
    chkNotice->setChecked(
        profile::IsTrue(profile_.IniRead(profile::kEndData, profile::kWriteNotice)));
    chkClipboard->setChecked(
        profile::IsTrue(profile_.IniRead(profile::kEndData, profile::kClipboard)));
    (profile::IsTrue(profile_.IniRead(profile::kEndData, profile::kClipboardLine)) ? optClipLine
                                                                                   : optClipAnswer)
        ->setChecked(true);
    // What is copied matters only while copying is on.
    const auto clipChoice = [this] {
        optClipAnswer->setEnabled(chkClipboard->isChecked());
        optClipLine->setEnabled(chkClipboard->isChecked());
    };
    clipChoice();
    connect(chkClipboard, &QCheckBox::toggled, this, clipChoice);
    const OutputSettings stored = ReadOutputSettings(profile_.reader());
    chkTypeInto->setChecked(stored.TypeInto);
    cboTypeAfter->setCurrentIndex(static_cast<int>(stored.TypeAfterKey));
    chkCommand->setChecked(stored.RunCommand);
    txtCommand->setText(Q(stored.Command));
    // Each choice matters only while its option is on; the command's text
    // stays while it is off.
    const auto optionChoice = [this] {
        cboTypeAfter->setEnabled(chkTypeInto->isChecked());
        txtCommand->setEnabled(chkCommand->isChecked());
    };
    optionChoice();
    connect(chkTypeInto, &QCheckBox::toggled, this, optionChoice);
    connect(chkCommand, &QCheckBox::toggled, this, optionChoice);
}

void frmFile::chkCSV_Click() {
    if (chkCSV->isChecked()) txtFileName->setText(CsvFileName(txtFileName->text()));
}

void frmFile::cmdFileSel_Click() {
    const QString chosen =
        dialogs_.openFileName(this, kResultFileTitle, kResultFileFilter, txtFileName->text());
    if (!chosen.isEmpty()) txtFileName->setText(chosen);
}

void frmFile::OKButton_Click() {
    // A command that cannot run is said now, not after the next write.
    const std::u16string command = txtCommand->text().trimmed().toStdU16String();
    if (chkCommand->isChecked()) {
        if (const CommandLine split = SplitCommand(Q(command)); !split.problem.isEmpty()) {
            dialogs_.message(this, split.problem, QStringLiteral("Tirelma"),
                             platform::Dialogs::Icon::Warning);
            txtCommand->setFocus();
            return;
        }
    }
    // The profile gives back at most 254 bytes of a value: a longer command
    // would run cut short. Counted as UTF-8 takes it, the most any profile
    // file takes.
    const auto bytes = settings::ValueBytes(settings::FileEncoding::Utf8,
                                            settings::ProfileDocument::StoredForm(command));
    if (!bytes || *bytes > settings::kMaxValueBytes) {
        dialogs_.message(this,
                         QStringLiteral("書き込み後に実行するコマンドが長すぎるため、記録できません"
                                        "。%1 バイト (半角 %1 文字) までにしてください。")
                             .arg(settings::kMaxValueBytes),
                         QStringLiteral("Tirelma"), platform::Dialogs::Icon::Warning);
        txtCommand->setFocus();
        return;
    }
    // Stored as they stand; the main window reads numbers leniently.
    profile_.IniWrite(profile::kEndData, profile::kFileName, txtFileName->text().toStdU16String());
    profile_.IniWrite(profile::kEndData, profile::kCommentBefore,
                      profile::FlagText(optCommentIti0->isChecked()));
    profile_.IniWrite(profile::kEndData, profile::kKizami, txtKizami->text().toStdU16String());
    profile_.IniWrite(profile::kEndData, profile::kCsv, profile::FlagText(chkCSV->isChecked()));
    WriteSwitch(profile_, profile::kCsvHeader, chkHeader->isChecked());
    WriteSwitch(profile_, profile::kTimeStamp, chkTimeStamp->isChecked());
    WriteSwitch(profile_, profile::kWriteNotice, chkNotice->isChecked());
    WriteSwitch(profile_, profile::kClipboard, chkClipboard->isChecked());
    WriteSwitch(profile_, profile::kClipboardLine, optClipLine->isChecked());
    if (chkTypeInto->isEnabled())
        WriteSwitch(profile_, profile::kTypeInto, chkTypeInto->isChecked());
    WriteText(profile_, profile::kTypeAfter,
              std::u16string(TypeAfterText(static_cast<TypeAfter>(cboTypeAfter->currentIndex()))));
    WriteSwitch(profile_, profile::kRunCommand, chkCommand->isChecked());
    WriteText(profile_, profile::kCommand, command);
    accept();
}

void frmFile::CancelButton_Click() {
    reject();
}

} // namespace mainwin
