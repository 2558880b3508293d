#include "AreaCapture.h"

#include "CharTeacher.h"
#include "EditorLayout.h"
#include "EditorLogic.h"
#include "FUMIni.h"
#include "MagnifiedView.h"
#include "OwnWindows.h"
#include "PictureBox.h"
#include "ScreenGrab.h"
#include "ScreenReading.h"
#include "frmCap.h"

#include <QDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>

namespace editor {

namespace {

std::u16string U(const QString& s) {
    return s.toStdU16String();
}

const QString kNotNumbers = QStringLiteral("Left、Top、Width、Heightに数値を入力してください");
const QString kBadAreaSize =
    QStringLiteral("認識エリアの大きさが不適当です(幅と高さは0～3000、幅×高さは160000以下)");

} // namespace

AreaCapture::AreaCapture(QDialog& window, EditorLayout& layout, CharTeacher& teacher,
                         platform::Platform& platform, platform::Dialogs& dialogs)
    : window_(window), layout_(layout), teacher_(teacher), platform_(platform), dialogs_(dialogs) {}

const EditorControls& AreaCapture::ui() const {
    return layout_.ui;
}

void AreaCapture::message(const QString& text) {
    dialogs_.message(&window_, text, QStringLiteral("Tirelma"), platform::Dialogs::Icon::None);
}

void AreaCapture::levelChanged() {
    ui().txt2tikaLevel->setText(QString::number(ui().VScroll1->value()));
}

void AreaCapture::captureSamePlace() {
    const auto left = FieldNumber(U(ui().txtLeft->text()));
    const auto top = FieldNumber(U(ui().txtTop->text()));
    const auto width = FieldNumber(U(ui().txtWidth->text()));
    const auto height = FieldNumber(U(ui().txtHeight->text()));
    if (!left || !top || !width || !height) {
        message(kNotNumbers);
        return;
    }
    const auto w = settings::RoundToInt32(*width);
    const auto h = settings::RoundToInt32(*height);
    if (!w || !h || !AreaSizeAcceptable(*w, *h)) {
        message(kBadAreaSize);
        return;
    }
    QImage image(*w, *h, QImage::Format_RGB32);
    image.fill(Qt::white);
    QString problem;
    capture::WithOwnWindowsAway(platform_, [&] { // the area as it is under the editor
        problem =
            capture::ScrCap(platform_, image, static_cast<float>(*left), static_cast<float>(*top));
    });
    if (!problem.isEmpty()) { // no picture at all, not a white one
        message(QStringLiteral("画面の画像を取得できませんでした") + QLatin1Char('\n') + problem);
        return;
    }
    ui().picSelAlia->setImage(image);
    teacher_.newCapture();
    binarize();
}

void AreaCapture::setControlsEnabled(bool on) {
    for (QWidget* w : std::initializer_list<QWidget*>{
             ui().VScroll1, ui().cmd2Tika, ui().cmdAriaKiroku, ui().cmdKill, ui().cmdChrTouroku,
             ui().cmdCap, ui().cmdSCap, ui().cmdEnd, ui().cmdGyouTouroku})
        w->setEnabled(on);
}

void AreaCapture::take(const capture::CapResult& result) {
    using Kind = capture::CapResult::Kind;
    if (result.kind == Kind::NoPicture) {
        message(QStringLiteral("画面の画像を取得できませんでした") +
                (result.why.isEmpty() ? QString() : QLatin1Char('\n') + result.why));
        return;
    }
    if (result.kind != Kind::Selected) return;
    if (!AreaSizeAcceptable(result.area.width(), result.area.height())) {
        message(kBadAreaSize);
        return;
    }
    ui().picSelAlia->setImage(result.image);
    teacher_.newCapture();
    ui().txtLeft->setText(QString::number(result.area.left()));
    ui().txtTop->setText(QString::number(result.area.top()));
    ui().txtWidth->setText(QString::number(result.area.width()));
    ui().txtHeight->setText(QString::number(result.area.height()));
    binarize();
}

void AreaCapture::captureByDrawing() {
    layout_.setGuidance(QStringLiteral("1行のすべての文字が入る、なるべく狭い認識範囲をマウスで囲"
                                       "んで指定してください、\r\nEscキーでキャンセルします。"));
    setControlsEnabled(false);
    if (!cap_) cap_ = new capture::frmCap(platform_, &window_);
    take(cap_->run());
    setControlsEnabled(true);
    binarize();
    // "キャラクタ記録" only while a cut of this image is accepted.
    teacher_.offerRegistering();
    layout_.setGuidance(
        QStringLiteral("拡大表示された1文字をマウスで囲んでキャラクターを指定し、キャラクタ記録ボ"
                       "タンを押してください。\r\n何も表示されない場合は2値化レベルを変更して2値化"
                       "ボタンを押してみてください。"));
}

void AreaCapture::binarize() {
    const auto width = FieldNumber(U(ui().txtWidth->text()));
    const auto height = FieldNumber(U(ui().txtHeight->text()));
    if (!width || !height) {
        message(kNotNumbers);
        return;
    }
    const double level = settings::NumberValue(U(ui().txt2tikaLevel->text()));
    ui().pic2tika->setImage(Binarize(ui().picSelAlia->image(), level, *width, *height));
    showMagnified();
    teacher_.twoLevelShown();
    // Grown once more with the check in place (from its top-left corner, so
    // that it stays where it stands), the view showing all the window has
    // room for; a new capture shows its line of ink first.
    layout_.fitToScreen();
    teacher_.bringLineIntoView();
}

void AreaCapture::showMagnified() {
    if (cap_ && cap_->isVisible()) cap_->close();
    ui().scrBig->setImage(ui().pic2tika->image());
    // The window grows with the view, up to what its screen has room for;
    // beyond that the view scrolls.
    layout_.fitToScreen();
}

std::optional<engine::Monitor> AreaCapture::fieldsMonitor() const {
    // The monitor the area lies on now, so that a reading can tell when it
    // is read on another one (other size, place or scale).
    const auto left = FieldNumber(U(ui().txtLeft->text()));
    const auto top = FieldNumber(U(ui().txtTop->text()));
    const auto width = FieldNumber(U(ui().txtWidth->text()));
    const auto height = FieldNumber(U(ui().txtHeight->text()));
    if (!left || !top || !width || !height) return std::nullopt;
    const auto l = settings::RoundToInt32(*left), t = settings::RoundToInt32(*top);
    const auto w = settings::RoundToInt32(*width), h = settings::RoundToInt32(*height);
    if (!l || !t || !w || !h) return std::nullopt;
    return capture::MonitorOf(platform_, QRect(*l, *t, *w, *h));
}

} // namespace editor
