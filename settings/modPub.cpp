#include "modPub.h"

namespace modPub {

std::u16string IniName = u"Kavoren.ini";
std::u16string AriaName;

} // namespace modPub
