#include "FUMIni.h"

#include <cmath>

namespace FUMIni {

bool FormPosSave(store::ProfileStore& profile, std::u16string_view caption,
                 const FormPlacement& p) {
    const std::u16string section = SpaceCut(caption);
    bool ok = true;
    ok = profile.IniWrite(section, u"Top", SingleText(static_cast<float>(p.Top))) && ok;
    ok = profile.IniWrite(section, u"Left", SingleText(static_cast<float>(p.Left))) && ok;
    ok = profile.IniWrite(section, u"Height", SingleText(static_cast<float>(p.Height))) && ok;
    ok = profile.IniWrite(section, u"Width", SingleText(static_cast<float>(p.Width))) && ok;
    return ok;
}

FormPlacement FormPosLoad(store::ProfileStore& profile, std::u16string_view caption,
                          const FormPlacement& design, bool resizable) {
    const std::u16string section = SpaceCut(caption);
    FormPlacement p = design;
    auto finite = [](double v) { return std::isfinite(v) ? v : 0.0; };
    p.Top = finite(NumberValue(profile.IniRead(section, u"Top")));
    p.Left = finite(NumberValue(profile.IniRead(section, u"Left")));
    if (resizable) {
        const double h = NumberValue(profile.IniRead(section, u"Height"));
        const double w = NumberValue(profile.IniRead(section, u"Width"));
        if (std::isfinite(h) && h > 0) p.Height = h;
        if (std::isfinite(w) && w > 0) p.Width = w;
    }
    return p;
}

} // namespace FUMIni
