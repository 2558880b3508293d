// Tells the user when the profile refused a setting: once for a burst of
// refused writes (saving a window's placement writes four keys), never in
// silence.
#pragma once

#include "Dialogs.h"
#include "ProfileStore.h"

#include <QObject>

namespace mainwin {

class WriteFailureNotice : public QObject {
    Q_OBJECT
public:
    WriteFailureNotice(platform::Dialogs& dialogs, store::ProfileStore& profile);
    ~WriteFailureNotice() override;

    // The message for one refused write of the profile at path.
    static QString Text(const store::WriteFailure& failure, const QString& path);

private:
    void refused(const store::WriteFailure& failure);

    platform::Dialogs& dialogs_;
    store::ProfileStore& profile_;
    bool pending_ = false;
};

} // namespace mainwin
