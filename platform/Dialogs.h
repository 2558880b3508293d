// Message boxes and file dialogs behind a small interface, so that tests can
// check what the user would be told without a real box.
#pragma once

#include <QString>

class QWidget;

namespace platform {

class Dialogs {
public:
    enum class Icon { None, Information, Warning, Critical, Question };
    enum class Answer { Yes, No, Cancel };

    virtual ~Dialogs() = default;

    // A message box with only an OK button; returns when it is closed.
    virtual void message(QWidget* parent, const QString& text, const QString& title,
                         Icon icon = Icon::None) = 0;

    // A question with the buttons はい, いいえ and キャンセル; closing the box
    // answers Cancel.
    virtual Answer question(QWidget* parent, const QString& text, const QString& title) = 0;

    // A question with the buttons はい and いいえ, いいえ the default: Escape
    // and closing the box answer No.
    virtual Answer confirm(QWidget* parent, const QString& text, const QString& title) = 0;

    // An open-file dialog titled title; filter in the form
    // "label (*.ext)|*.ext|...". The chosen full path, or an empty text when
    // the user cancelled. The file need not exist.
    virtual QString openFileName(QWidget* parent, const QString& title, const QString& filter,
                                 const QString& startPath) = 0;
};

// Real boxes and dialogs.
class QtDialogs : public Dialogs {
public:
    void message(QWidget* parent, const QString& text, const QString& title, Icon icon) override;
    Answer question(QWidget* parent, const QString& text, const QString& title) override;
    Answer confirm(QWidget* parent, const QString& text, const QString& title) override;
    QString openFileName(QWidget* parent, const QString& title, const QString& filter,
                         const QString& startPath) override;
};

} // namespace platform
