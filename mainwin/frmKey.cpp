#include "frmKey.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeySequenceEdit>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace mainwin {

namespace {

const QString kCaption = QStringLiteral("Tirelma");

// One combination per key: where several were pressed in a row (the edit
// takes up to four, until a second passes without a key), the last.
QKeySequenceEdit* KeyEdit(const char* name, QWidget* parent) {
    auto* edit = new QKeySequenceEdit(parent);
    edit->setObjectName(QLatin1String(name));
    QObject::connect(edit, &QKeySequenceEdit::keySequenceChanged, edit,
                     [edit](const QKeySequence& keys) {
                         if (keys.count() >= 1)
                             edit->setKeySequence(QKeySequence(keys[keys.count() - 1]));
                     });
    return edit;
}

// The combination pressed last (OK may come before the edit has stopped).
QKeyCombination Last(const QKeySequenceEdit* edit) {
    const QKeySequence keys = edit->keySequence();
    return keys.isEmpty() ? QKeyCombination(Qt::Key_unknown) : keys[keys.count() - 1];
}

} // namespace

frmKey::frmKey(platform::Dialogs& dialogs, store::ProfileStore& profile, KeyApplier apply,
               QWidget* parent)
    : QDialog(parent), dialogs_(dialogs), profile_(profile), apply_(std::move(apply)) {
    setObjectName(QStringLiteral("frmKey"));
    setWindowTitle(QStringLiteral("読み取りキーの設定"));

    auto* readBox = new QGroupBox(QStringLiteral("読み取りキー"), this);
    optAlt = new QRadioButton(QStringLiteral("Altキーだけ"), readBox);
    optAlt->setObjectName(QStringLiteral("optAlt"));
    optKey = new QRadioButton(QStringLiteral("キーの組み合わせ"), readBox);
    optKey->setObjectName(QStringLiteral("optKey"));
    txtKey = KeyEdit("txtKey", readBox);
    txtKey->setAccessibleName(QStringLiteral("読み取りキーの組み合わせ"));
    // The keys go to the edit's own box, which has the focus: named too.
    txtKey->findChild<QLineEdit*>()->setAccessibleName(txtKey->accessibleName());
    auto* readGrid = new QGridLayout(readBox);
    readGrid->addWidget(optAlt, 0, 0, 1, 2);
    readGrid->addWidget(optKey, 1, 0);
    readGrid->addWidget(txtKey, 1, 1);

    chkQuick = new QCheckBox(QStringLiteral("すぐ書き込むキー"), this);
    chkQuick->setObjectName(QStringLiteral("chkQuick"));
    txtQuick = KeyEdit("txtQuick", this);
    txtQuick->setAccessibleName(QStringLiteral("すぐ書き込むキーの組み合わせ"));
    txtQuick->findChild<QLineEdit*>()->setAccessibleName(txtQuick->accessibleName());
    auto* quickRow = new QHBoxLayout;
    quickRow->addWidget(chkQuick);
    quickRow->addWidget(txtQuick);

    lblNote = new QLabel(
        QStringLiteral("組み合わせは、入力欄で押したキーになります (例: Ctrl+Shift+F9)。\n"
                       "すぐ書き込むキーは、読み取った値がそろっていれば認識フォームを開かずに"
                       "書き込みます。そろっていないときは認識フォームを開きます。"),
        this);
    lblNote->setObjectName(QStringLiteral("lblNote"));
    lblNote->setWordWrap(true);

    OKButton = new QPushButton(QStringLiteral("OK"), this);
    OKButton->setObjectName(QStringLiteral("OKButton"));
    CancelButton = new QPushButton(QStringLiteral("ｷｬﾝｾﾙ"), this);
    CancelButton->setObjectName(QStringLiteral("CancelButton"));
    OKButton->setDefault(true);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(OKButton);
    buttons->addWidget(CancelButton);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(readBox);
    layout->addLayout(quickRow);
    layout->addWidget(lblNote);
    layout->addLayout(buttons);
    setMinimumWidth(420);

    setTabOrder(optAlt, optKey);
    setTabOrder(optKey, txtKey);
    setTabOrder(txtKey, chkQuick);
    setTabOrder(chkQuick, txtQuick);
    setTabOrder(txtQuick, OKButton);
    setTabOrder(OKButton, CancelButton);

    // As stored: a key the profile names that cannot serve reads as none.
    const ReadingKeys stored = StoredKeys(profile_.reader());
    (stored.altAlone() ? optAlt : optKey)->setChecked(true);
    if (!stored.altAlone()) txtKey->setKeySequence(QKeySequence(stored.read));
    chkQuick->setChecked(stored.hasQuick());
    if (stored.hasQuick()) txtQuick->setKeySequence(QKeySequence(stored.quick));

    // Pressing a combination chooses it.
    connect(txtKey, &QKeySequenceEdit::keySequenceChanged, this, [this](const QKeySequence& k) {
        if (!k.isEmpty()) optKey->setChecked(true);
    });
    connect(txtQuick, &QKeySequenceEdit::keySequenceChanged, this, [this](const QKeySequence& k) {
        if (!k.isEmpty()) chkQuick->setChecked(true);
    });
    connect(OKButton, &QPushButton::clicked, this, &frmKey::OKButton_Click);
    connect(CancelButton, &QPushButton::clicked, this, &QDialog::reject);
}

ReadingKeys frmKey::chosen() const {
    ReadingKeys keys;
    if (optKey->isChecked()) keys.read = Last(txtKey);
    if (chkQuick->isChecked()) keys.quick = Last(txtQuick);
    return keys;
}

void frmKey::OKButton_Click() {
    const ReadingKeys keys = chosen();
    const auto refuse = [this](const QString& text, QWidget* focus) {
        dialogs_.message(this, text, kCaption, platform::Dialogs::Icon::Warning);
        focus->setFocus();
    };
    // Each key chosen must be one combination that types nothing.
    const auto usable = [&](bool chosen, QKeySequenceEdit* box, const QString& name) {
        if (!chosen || UsableKey(Last(box))) return true;
        refuse(box->keySequence().isEmpty()
                   ? QStringLiteral("%1にする組み合わせを、入力欄で押してください。").arg(name)
                   : QStringLiteral("「%1」は%2にできません。Ctrl、Alt、Windows キーのどれかと組み"
                                    "合わせるか、ファンクションキー (F1～F24) を選んでください。")
                         .arg(KeyName(Last(box)), name),
               box);
        return false;
    };
    if (!usable(optKey->isChecked(), txtKey, QStringLiteral("読み取りキー")) ||
        !usable(chkQuick->isChecked(), txtQuick, QStringLiteral("すぐ書き込むキー")))
        return;
    if (keys.hasQuick() && keys.quick == keys.read) {
        refuse(QStringLiteral("読み取りキーとすぐ書き込むキーには、別のキーを選んでください。"),
               txtQuick);
        return;
    }
    // Taken first: a key held by another program is said now, and neither
    // the keys in use nor the profile change.
    if (apply_) {
        if (const QString problem = apply_(keys); !problem.isEmpty()) {
            dialogs_.message(this, problem, kCaption, platform::Dialogs::Icon::Warning);
            return;
        }
    }
    if (const auto writes = KeyWrites(keys, profile_.reader()); !writes.empty())
        profile_.IniWriteAll(writes);
    accept();
}

} // namespace mainwin
