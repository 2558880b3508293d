#include "frmFields.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>

namespace editor {

namespace {

constexpr int kNameRole = Qt::UserRole;

bool Has(const std::vector<std::u16string>& names, std::u16string_view name) {
    return std::find(names.begin(), names.end(), name) != names.end();
}

} // namespace

std::vector<FieldChoice> FieldChoices(std::u16string_view area,
                                      const std::vector<std::u16string>& areas,
                                      const std::vector<std::u16string>& fields,
                                      const std::vector<std::u16string>& withFields) {
    std::vector<FieldChoice> out;
    auto offered = [&out](std::u16string_view name) {
        return std::any_of(out.begin(), out.end(),
                           [name](const FieldChoice& c) { return c.name == name; });
    };
    for (const auto& f : fields)
        if (f != area && !offered(f)) out.push_back({f, true, !Has(areas, f), Has(withFields, f)});
    for (const auto& a : areas)
        if (a != area && !offered(a)) out.push_back({a, false, false, Has(withFields, a)});
    return out;
}

frmFields::frmFields(const std::u16string& area, const std::vector<FieldChoice>& choices,
                     QWidget* parent)
    : QDialog(parent) {
    setObjectName(QStringLiteral("frmFields"));
    setWindowTitle(QStringLiteral("続けて読むエリア"));
    auto* root = new QVBoxLayout(this);
    auto* intro =
        new QLabel(QStringLiteral("認識エリア「%1」を読んだあと、1回の読み取りで続けて読むエリアに"
                                  "チェックを付け、読む順に並べてください。結果は「%1」の区切り"
                                  "キャラクタでつないだ1行になります。")
                       .arg(QString::fromStdU16String(area)));
    intro->setWordWrap(true);
    root->addWidget(intro);
    auto* row = new QHBoxLayout;
    lstFields = new QListWidget;
    lstFields->setObjectName(QStringLiteral("lstFields"));
    lstFields->setAccessibleName(QStringLiteral("続けて読むエリア"));
    for (const FieldChoice& c : choices) {
        QString text = QString::fromStdU16String(c.name);
        if (c.missing)
            text += QStringLiteral(" (この名前のエリアはありません)");
        else if (c.hasFields)
            text += QStringLiteral(" (このエリアの続けて読むエリアは読みません)");
        auto* item = new QListWidgetItem(text, lstFields);
        item->setData(kNameRole, QString::fromStdU16String(c.name));
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
        item->setCheckState(c.checked ? Qt::Checked : Qt::Unchecked);
    }
    if (lstFields->count() > 0) lstFields->setCurrentRow(0);
    row->addWidget(lstFields, 1);
    auto* moves = new QVBoxLayout;
    cmdUp = new QPushButton(QStringLiteral("上へ(&U)"));
    cmdUp->setObjectName(QStringLiteral("cmdUp"));
    cmdDown = new QPushButton(QStringLiteral("下へ(&D)"));
    cmdDown->setObjectName(QStringLiteral("cmdDown"));
    moves->addWidget(cmdUp);
    moves->addWidget(cmdDown);
    moves->addStretch();
    row->addLayout(moves);
    root->addLayout(row);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    buttons->button(QDialogButtonBox::Ok)->setObjectName(QStringLiteral("OKButton"));
    buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("ｷｬﾝｾﾙ"));
    buttons->button(QDialogButtonBox::Cancel)->setObjectName(QStringLiteral("CancelButton"));
    root->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(cmdUp, &QPushButton::clicked, this, &frmFields::cmdUp_Click);
    connect(cmdDown, &QPushButton::clicked, this, &frmFields::cmdDown_Click);
}

std::vector<std::u16string> frmFields::chosen() const {
    std::vector<std::u16string> names;
    for (int i = 0; i < lstFields->count(); ++i) {
        const QListWidgetItem* item = lstFields->item(i);
        if (item->checkState() == Qt::Checked)
            names.push_back(item->data(kNameRole).toString().toStdU16String());
    }
    return names;
}

void frmFields::cmdUp_Click() {
    move(-1);
}

void frmFields::cmdDown_Click() {
    move(1);
}

void frmFields::move(int by) {
    const int from = lstFields->currentRow();
    const int to = from + by;
    if (from < 0 || to < 0 || to >= lstFields->count()) return;
    QListWidgetItem* item = lstFields->takeItem(from);
    lstFields->insertItem(to, item);
    lstFields->setCurrentRow(to);
}

} // namespace editor
