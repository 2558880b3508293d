// tirelma-read [--profile FILE] [--area NAME] [--snap] IMAGE...
//
// Reads saved screenshots as the resident program reads the screen: the
// whole image is the area, read with the area's character group.
#include "ReadCommand.h"

#include <QImage>
#include <QString>

#include <iostream>

namespace {

std::optional<engine::AreaImage> LoadImage(const std::string& file) {
    QImage img;
    if (!img.load(QString::fromStdString(file))) return std::nullopt;
    img = img.convertToFormat(QImage::Format_RGB32);
    engine::AreaImage area(img.width(), img.height());
    for (int y = 0; y < img.height(); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(img.constScanLine(y));
        for (int x = 0; x < img.width(); ++x) {
            const QRgb p = line[x];
            area.pixels[static_cast<std::size_t>(y) * area.width + x] =
                static_cast<std::uint32_t>(qRed(p) | (qGreen(p) << 8) | (qBlue(p) << 16));
        }
    }
    return area;
}

} // namespace

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    if (!args.empty() && (args[0] == "--help" || args[0] == "-h")) {
        std::cout << "usage: tirelma-read [--profile FILE] [--area NAME] [--snap] IMAGE...\n";
        return 0;
    }
    std::string error;
    const auto options = tools::ParseArguments(args, error);
    if (!options) {
        std::cerr << "tirelma-read: " << error << "\n"
                  << "usage: tirelma-read [--profile FILE] [--area NAME] [--snap] IMAGE...\n";
        return tools::kUsage;
    }
    return tools::RunRead(*options, LoadImage, std::cout, std::cerr);
}
