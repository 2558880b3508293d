#include "ReadOutput.h"

#include "Fields.h"

#include "TextCodec.h"

#include <algorithm>
#include <cstdio>
#include <functional>

namespace tools {

namespace {

// Days since 1970-01-01 of a civil date (proleptic Gregorian).
long long DaysFromCivil(long long y, int m, int d) {
    y -= m <= 2;
    const long long era = (y >= 0 ? y : y - 399) / 400;
    const long long yoe = y - era * 400;
    const long long doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const long long doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
}

long long MinutesOf(const std::tm& t) {
    return (DaysFromCivil(t.tm_year + 1900LL, t.tm_mon + 1, t.tm_mday) * 24 + t.tm_hour) * 60 +
           t.tm_min;
}

std::string Number(long long n) {
    return std::to_string(n);
}

} // namespace

std::string FormatTimestamp(const LocalTime& t) {
    const int offset = t.utcOffsetMinutes < 0 ? -t.utcOffsetMinutes : t.utcOffsetMinutes;
    char buf[64];
    std::snprintf(buf, sizeof buf, "%04d-%02d-%02dT%02d:%02d:%02d.%03d%c%02d:%02d", t.year, t.month,
                  t.day, t.hour, t.minute, t.second, t.millisecond,
                  t.utcOffsetMinutes < 0 ? '-' : '+', offset / 60, offset % 60);
    return buf;
}

int UtcOffsetMinutes(const std::tm& local, const std::tm& utc) {
    return static_cast<int>(MinutesOf(local) - MinutesOf(utc));
}

LocalTime ToLocalTime(const std::tm& local, const std::tm& utc, int millisecond) {
    LocalTime out;
    out.year = local.tm_year + 1900;
    out.month = local.tm_mon + 1;
    out.day = local.tm_mday;
    out.hour = local.tm_hour;
    out.minute = local.tm_min;
    out.second = local.tm_sec;
    out.millisecond = millisecond;
    out.utcOffsetMinutes = UtcOffsetMinutes(local, utc);
    return out;
}

std::string Utf8Text(std::u16string_view text) {
    // A lone surrogate has no UTF-8 form: U+FFFD stands in for it.
    std::u16string whole(text);
    for (std::size_t i = 0; i < whole.size(); ++i) {
        const bool high = whole[i] >= 0xD800 && whole[i] <= 0xDBFF;
        const bool low = whole[i] >= 0xDC00 && whole[i] <= 0xDFFF;
        if (high && i + 1 < whole.size() && whole[i + 1] >= 0xDC00 && whole[i + 1] <= 0xDFFF)
            ++i;
        else if (high || low)
            whole[i] = u'\uFFFD';
    }
    return settings::Utf16ToUtf8(whole).value_or(std::string());
}

std::string TsvField(std::string_view utf8) {
    std::string out;
    out.reserve(utf8.size());
    for (char c : utf8) {
        switch (c) {
        case '\\':
            out += "\\\\";
            break;
        case '\t':
            out += "\\t";
            break;
        case '\r':
            out += "\\r";
            break;
        case '\n':
            out += "\\n";
            break;
        default:
            out.push_back(c);
        }
    }
    return out;
}

std::string JsonString(std::string_view utf8) {
    std::string out = "\"";
    for (char c : utf8) {
        const auto u = static_cast<unsigned char>(c);
        switch (c) {
        case '"':
            out += "\\\"";
            break;
        case '\\':
            out += "\\\\";
            break;
        case '\n':
            out += "\\n";
            break;
        case '\r':
            out += "\\r";
            break;
        case '\t':
            out += "\\t";
            break;
        default:
            if (u < 0x20) {
                char buf[8];
                std::snprintf(buf, sizeof buf, "\\u%04x", u);
                out += buf;
            } else {
                out.push_back(c);
            }
        }
    }
    out += '"';
    return out;
}

std::string VerdictText(const engine::Verdict& verdict) {
    std::string why;
    switch (verdict.grab) {
    case engine::Grab::Whole:
        break;
    case engine::Grab::PartlyOff:
        why = "part of the area lies off every screen";
        break;
    case engine::Grab::Off:
        why = "the area lies off every screen";
        break;
    case engine::Grab::Failed:
        why = "the screen could not be read";
        if (!verdict.failure.empty()) why += ": " + Utf8Text(verdict.failure);
        break;
    }
    if (!verdict.unread.empty()) {
        if (!why.empty()) why += "; ";
        why += "unread ink at column";
        why += verdict.unread.size() > 1 || verdict.unread[0].first != verdict.unread[0].last ? "s "
                                                                                              : " ";
        for (std::size_t i = 0; i < verdict.unread.size(); ++i) {
            const auto& p = verdict.unread[i];
            if (i > 0) why += ", ";
            why += Number(p.first);
            if (p.last != p.first) why += "-" + Number(p.last);
        }
    }
    return why;
}

namespace {

// The members of one reading's JSON object, without its braces.
std::string JsonReading(std::u16string_view area, std::u16string_view reading,
                        const engine::Verdict& verdict, bool monitorChanged) {
    std::string line = "\"area\":" + JsonString(Utf8Text(area)) +
                       ",\"reading\":" + JsonString(Utf8Text(reading)) +
                       ",\"complete\":" + (verdict.complete() ? "true" : "false") + ",\"unread\":[";
    for (std::size_t i = 0; i < verdict.unread.size(); ++i)
        line += (i > 0 ? ",[" : "[") + Number(verdict.unread[i].first) + "," +
                Number(verdict.unread[i].last) + "]";
    line += "]";
    if (verdict.grab == engine::Grab::PartlyOff) line += ",\"partlyOffScreen\":true";
    if (monitorChanged) line += ",\"monitorChanged\":true";
    return line;
}

// A line of the text or the TSV format: the reading (under --watch after
// its time stamp), then tsvExtra, then the mark of an incomplete one.
std::string PlainLine(bool tsv, bool watching, const Source& source, std::u16string_view area,
                      std::u16string_view reading, const std::string& tsvExtra, bool marked,
                      const std::function<std::string()>& why) {
    if (tsv)
        return TsvField(source.text) + "\t" + TsvField(Utf8Text(area)) + "\t" +
               TsvField(Utf8Text(reading)) + tsvExtra +
               (marked ? "\t" + TsvField("incomplete: " + why()) : std::string());
    if (!watching) return Utf8Text(reading);
    return source.text + " " + Utf8Text(reading) +
           (marked ? "  [incomplete: " + why() + "]" : std::string());
}

// A field's mark as JSON names it, and why it reads nothing (none for a
// field that is read).
struct MarkWords {
    const char* name = "";
    const char* why = nullptr;
};
MarkWords WordsOf(engine::FieldMark mark) {
    switch (mark) {
    case engine::FieldMark::MissingArea:
        return {"missing-area", "no area of that name"};
    case engine::FieldMark::Self:
        return {"self", "the area names itself"};
    case engine::FieldMark::Duplicate:
        return {"duplicate", "named twice"};
    case engine::FieldMark::HasFields:
        return {"has-fields"};
    case engine::FieldMark::None:
        break;
    }
    return {};
}

} // namespace

std::string FieldText(const engine::Reading& reading) {
    const MarkWords words = WordsOf(reading.mark);
    return words.why ? words.why : VerdictText(reading.verdict);
}

std::string PressVerdictText(const std::vector<engine::Reading>& readings) {
    if (readings.size() == 1) return VerdictText(readings.front().verdict);
    std::string why;
    for (const auto& r : readings) {
        if (r.complete()) continue;
        if (!why.empty()) why += "; ";
        why += JsonString(Utf8Text(r.area.name)) + ": " + FieldText(r);
    }
    return why;
}

std::string PressLine(Format format, const Source& source,
                      const std::vector<engine::Reading>& readings,
                      const std::vector<std::u16string>& answers, std::u16string_view joined,
                      bool watching) {
    const engine::Reading& first = readings.front();
    if (readings.size() == 1)
        return ReadingLine(format, source, first.area.name, joined, watching, first.verdict,
                           first.monitorChange.has_value());
    if (format != Format::Json) {
        std::string pairs;
        for (std::size_t i = 0; i < readings.size(); ++i)
            pairs += "\t" + TsvField(Utf8Text(readings[i].area.name)) + "\t" +
                     TsvField(Utf8Text(i < answers.size() ? answers[i] : readings[i].text));
        return PlainLine(format == Format::Tsv, watching, source, first.area.name, joined, pairs,
                         watching && !engine::PressComplete(readings),
                         [&readings] { return PressVerdictText(readings); });
    }
    std::string line =
        std::string("{") + (source.screen ? "\"time\":" : "\"image\":") + JsonString(source.text) +
        ",\"area\":" + JsonString(Utf8Text(first.area.name)) +
        ",\"reading\":" + JsonString(Utf8Text(joined)) +
        ",\"complete\":" + (engine::PressComplete(readings) ? "true" : "false") + ",\"fields\":[";
    for (std::size_t i = 0; i < readings.size(); ++i) {
        const engine::Reading& r = readings[i];
        line += (i > 0 ? ",{" : "{") + JsonReading(r.area.name,
                                                   i < answers.size() ? answers[i] : r.text,
                                                   r.verdict, r.monitorChange.has_value());
        if (r.mark != engine::FieldMark::None)
            line += std::string(",\"mark\":\"") + WordsOf(r.mark).name + "\"";
        line += "}";
    }
    return line + "]}";
}

std::string ReadingLine(Format format, const Source& source, std::u16string_view area,
                        std::u16string_view reading, bool watching, const engine::Verdict& verdict,
                        bool monitorChanged) {
    switch (format) {
    case Format::Text:
    case Format::Tsv:
        return PlainLine(format == Format::Tsv, watching, source, area, reading, {},
                         watching && !verdict.complete(),
                         [&verdict] { return VerdictText(verdict); });
    case Format::Json:
        return std::string("{") + (source.screen ? "\"time\":" : "\"image\":") +
               JsonString(source.text) + "," + JsonReading(area, reading, verdict, monitorChanged) +
               "}";
    }
    return {};
}

std::string IncompleteWarning(const std::string& what, std::u16string_view reading,
                              const engine::Verdict& verdict) {
    return "tirelma-read: warning: " + what + ": incomplete reading " +
           JsonString(Utf8Text(reading)) + ": " + VerdictText(verdict);
}

std::string MonitorWarning(std::u16string_view area, const engine::MonitorChange& change) {
    const auto monitor = [](const engine::Monitor& m) {
        std::string text = Number(m.rect.width) + "x" + Number(m.rect.height) + " at " +
                           Number(m.rect.left) + "," + Number(m.rect.top);
        if (m.scalePercent > 0) text += ", scale " + Number(m.scalePercent) + " %";
        return text;
    };
    return "tirelma-read: warning: area " + JsonString(Utf8Text(area)) +
           " was stored on a monitor " + monitor(change.recorded) + "; the monitor there now is " +
           monitor(change.now) + " (characters drawn at another size or scale are not read)";
}

std::string AreaLine(Format format, const AreaListing& a) {
    switch (format) {
    case Format::Text: {
        std::string line = Utf8Text(a.name) + ": left " + Number(a.left) + ", top " +
                           Number(a.top) + ", width " + Number(a.width) + ", height " +
                           Number(a.height) + ", group " +
                           (a.group ? Number(*a.group) : "unusable");
        if (!a.groupName.empty()) line += " (" + Utf8Text(a.groupName) + ")";
        if (a.current) line += ", current";
        for (std::size_t i = 0; i < a.fields.size(); ++i)
            line += (i == 0 ? ", fields " : ", ") + Utf8Text(a.fields[i]);
        return line;
    }
    case Format::Tsv: {
        std::string line = TsvField(Utf8Text(a.name)) + "\t" + Number(a.left) + "\t" +
                           Number(a.top) + "\t" + Number(a.width) + "\t" + Number(a.height) + "\t" +
                           (a.group ? Number(*a.group) : "") + "\t" +
                           TsvField(Utf8Text(a.groupName)) + "\t" + (a.current ? "1" : "0");
        for (const auto& f : a.fields)
            line += "\t" + TsvField(Utf8Text(f));
        return line;
    }
    case Format::Json: {
        std::string line = "{\"area\":" + JsonString(Utf8Text(a.name)) +
                           ",\"left\":" + Number(a.left) + ",\"top\":" + Number(a.top) +
                           ",\"width\":" + Number(a.width) + ",\"height\":" + Number(a.height) +
                           ",\"group\":" + (a.group ? Number(*a.group) : "null") +
                           ",\"groupName\":" + JsonString(Utf8Text(a.groupName)) +
                           ",\"current\":" + (a.current ? "true" : "false");
        if (!a.fields.empty()) {
            line += ",\"fields\":[";
            for (std::size_t i = 0; i < a.fields.size(); ++i)
                line += (i > 0 ? "," : "") + JsonString(Utf8Text(a.fields[i]));
            line += "]";
        }
        return line + "}";
    }
    }
    return {};
}

} // namespace tools
