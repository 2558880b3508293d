// Tells the user when the profile refused a setting: once for a burst of
// refused writes (saving a window's placement writes four keys), never in
// silence.
#pragma once

#include "Dialogs.h"
#include "FUMIni.h"

#include <QObject>

namespace mainwin {

class WriteFailureNotice : public QObject {
    Q_OBJECT
public:
    explicit WriteFailureNotice(platform::Dialogs& dialogs);
    ~WriteFailureNotice() override;

    // The message for one refused write.
    static QString Text(const FUMIni::WriteFailure& failure);

private:
    void refused(const FUMIni::WriteFailure& failure);

    platform::Dialogs& dialogs_;
    bool pending_ = false;
};

} // namespace mainwin
