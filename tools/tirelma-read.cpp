// tirelma-read: reads saved screenshots, or the live screen, as the resident
// program reads the screen (see UsageText for the options).
#include "Platform.h"
#include "ReadCommand.h"
#include "ScreenGrab.h"
#include "Session.h"

#include <QGuiApplication>
#include <QImage>
#include <QString>

#include <iostream>

namespace {

std::optional<engine::AreaImage> LoadImage(const std::string& file) {
    QImage img;
    if (!img.load(QString::fromStdString(file))) return std::nullopt;
    return capture::ToAreaImage(img);
}

// Qt's own notes (a missing XDG_RUNTIME_DIR under cron, say) would only
// clutter a script's error output: the reader tells what goes wrong itself.
void QuietQtNotes(QtMsgType type, const QMessageLogContext&, const QString& text) {
    if (type == QtCriticalMsg || type == QtFatalMsg)
        std::cerr << "tirelma-read: " << text.toStdString() << "\n";
}

int ReadScreen(const tools::ReadOptions& options, const char* program) {
    if (const QString why = platform::DisplayProblem(); !why.isEmpty()) {
        std::cerr << "tirelma-read: " << why.toStdString() << "\n";
        return tools::kBadImage;
    }
    platform::ChooseQtPlatform(); // as the resident program does
    qInstallMessageHandler(QuietQtNotes);
    // Qt sees none of the reader's own arguments.
    int argc = 1;
    char* argv[] = {const_cast<char*>(program), nullptr};
    QGuiApplication app(argc, argv);
    const auto platform = platform::CreatePlatform();
    if (platform->screens().isEmpty()) {
        const QString why = platform->limitation();
        std::cerr << "tirelma-read: the screen cannot be read here"
                  << (why.isEmpty() ? std::string() : ": " + why.toStdString()) << "\n";
        return tools::kBadImage;
    }
    tools::WatchClock clock{[] { return tools::FormatTimestamp(tools::session::Now()); },
                            tools::session::Wait, [] { return std::chrono::steady_clock::now(); }};
    if (options.watchSeconds) tools::session::CatchStopRequests();
    return tools::RunScreen(options, *platform, clock, std::cout, std::cerr);
}

} // namespace

int main(int argc, char** argv) {
    tools::session::SetUpOutput();
    const std::vector<std::string> args = tools::session::Arguments(argc, argv);
    if (!args.empty() && (args[0] == "--help" || args[0] == "-h")) {
        std::cout << tools::UsageText(true);
        return 0;
    }
    std::string error;
    const auto options = tools::ParseArguments(args, error);
    if (!options) {
        std::cerr << "tirelma-read: " << error << "\n" << tools::UsageText(false);
        return tools::kUsage;
    }
    if (options->listAreas) return tools::RunListAreas(*options, std::cout, std::cerr);
    if (options->screen) return ReadScreen(*options, argc > 0 ? argv[0] : "tirelma-read");
    return tools::RunRead(*options, LoadImage, std::cout, std::cerr);
}
