// The window tests' usual ground: the demo profile (area Counter at 100,
// 100), a fake desktop showing one of the examples there, and message boxes
// that record what they would have shown.
#pragma once

#include "Fakes.h"
#include "ProfileFixture.h"

namespace fakes {

class DemoDesk : public ProfileFixture {
protected:
    FakePlatform platform;
    FakeDialogs dialogs;

    void SetUp() override {
        ProfileFixture::SetUp();
        writeDemoProfile();
        show(QStringLiteral("counter.png"));
    }
    // The desktop white but for the example at the area.
    void show(const QString& example) {
        platform.screen.fill(Qt::white);
        platform.paint(QImage(QStringLiteral(TIRELMA_SOURCE_DIR "/examples/") + example),
                       QPoint(100, 100));
    }
};

} // namespace fakes
