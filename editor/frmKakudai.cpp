#include "frmKakudai.h"

namespace editor {

frmKakudai::frmKakudai(platform::Platform& platform, platform::Dialogs& dialogs, QWidget* parent)
    : QDialog(parent), platform_(platform), dialogs_(dialogs) {
    setWindowTitle(QStringLiteral("認識エリアとキャラクタ登録"));
}

EditorOutcome frmKakudai::run() {
    exec();
    return outcome_;
}

} // namespace editor
