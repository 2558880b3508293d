// Every section and key of the profile file, and how their names and values
// are formed, in one place.
//
//   [ENDDATA]            AREA, FILENAME, コメント前, 刻み, CSV, ALTDOWN, TRIGGERNOTICE,
//                        TIMESTAMP, CSVHEADER, WRITENOTICE, CLIPBOARD, CLIPBOARDLINE
//                        (written only once set; absent = off),
//                        READKEY, QUICKKEY (written only once chosen; absent = Alt alone,
//                        no quick key)
//   [ARIALIST]           LIST0, LIST1, ...     area names in list order
//   [CHRGROPLIST]        G0, G1, ...           group names by group index
//   [認識エリア<area>]   CHRGROP, COMMENT, LEFT, TOP, WIDTH, HEIGHT, BWLEVELT, 区切り,
//                        BLANKWIDTH (written only once set; absent = 0),
//                        WRITEUNREAD (written only once changed; absent = ask),
//                        MONITOR, MONITORSCALE (the monitor it was stored on),
//                        FIELD0, FIELD1, ... (areas read with it, in order;
//                        written only once set)
//   [Chr]                G<g>ALLCHR            characters of group g joined by "\\"
//   [G<g>ChrDat<chr>]    CHR, X, Y, BL0 ... BL<Y-1>   one template, rows as bit masks
//   [<caption>]          Top, Left, Height, Width     window placement in twips
//
// Numbers in names are plain decimal (0, 1, 12). CHRGROP and the BL rows are
// stored in signed-number form (" 2"). Flags are "True"/"False" and only the
// exact text "True" means yes. Numbered lists end at the first missing or
// empty entry.
#pragma once

#include "ProfileDocument.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace profile {

// [ENDDATA]
inline constexpr std::u16string_view kEndData = u"ENDDATA";
inline constexpr std::u16string_view kArea = u"AREA";
inline constexpr std::u16string_view kFileName = u"FILENAME";
inline constexpr std::u16string_view kCommentBefore = u"コメント前";
inline constexpr std::u16string_view kKizami = u"刻み";
inline constexpr std::u16string_view kCsv = u"CSV";
// "True": the main window opens as soon as Alt is down; otherwise (and when
// missing) on Alt pressed and released alone.
inline constexpr std::u16string_view kAltDown = u"ALTDOWN";
// "True" once the program has told, on a desktop where it cannot watch the
// Alt key (Wayland), how to open the main window there.
inline constexpr std::u16string_view kTriggerNotice = u"TRIGGERNOTICE";
// "True": each result line ends with a column of the local time it was
// written (2024-03-09T14:05:07). Missing, or anything else: no such column.
inline constexpr std::u16string_view kTimeStamp = u"TIMESTAMP";
// "True": a CSV result file that is created or empty gets a first line
// naming the columns. Missing, or anything else: no header.
inline constexpr std::u16string_view kCsvHeader = u"CSVHEADER";
// "True": every line written is told in the notification area's message
// (the line, a few seconds, never taking the focus). Missing, or anything
// else: only the quick key's lines are told.
inline constexpr std::u16string_view kWriteNotice = u"WRITENOTICE";
// "True": every line written also goes to the clipboard: the answer (the
// fields of a press with tabs between them), or with CLIPBOARDLINE "True"
// the whole line as written. Missing, or anything else: the clipboard is
// left alone.
inline constexpr std::u16string_view kClipboard = u"CLIPBOARD";
inline constexpr std::u16string_view kClipboardLine = u"CLIPBOARDLINE";
// "True": once the line is written, the answer is typed into the window
// that had the focus before the main window opened (or when the quick key
// was pressed), followed by TYPEAFTER: "Tab", "Enter", or (missing,
// anything else) nothing. Missing, or anything else: nothing is typed.
inline constexpr std::u16string_view kTypeInto = u"TYPEINTO";
inline constexpr std::u16string_view kTypeAfter = u"TYPEAFTER";
// "True": once the line is written, COMMAND (a program and its arguments,
// started directly, no shell) runs with the reading in its environment.
// COMMAND is kept while RUNCOMMAND is off.
inline constexpr std::u16string_view kRunCommand = u"RUNCOMMAND";
inline constexpr std::u16string_view kCommand = u"COMMAND";
// The key that opens the main window and reads: missing, empty or "Alt": Alt
// pressed and released alone (ALTDOWN as ever); otherwise one combination
// as Qt writes it portably ("Ctrl+Shift+F9"), taken as a global shortcut.
inline constexpr std::u16string_view kReadKey = u"READKEY";
// A second combination that reads and writes the line at once where the
// reading is complete; missing or empty: none.
inline constexpr std::u16string_view kQuickKey = u"QUICKKEY";

// Lists
inline constexpr std::u16string_view kAriaList = u"ARIALIST";
inline constexpr std::u16string_view kChrGropList = u"CHRGROPLIST";
inline constexpr std::u16string_view kChrSection = u"Chr";

// Area sections
inline constexpr std::u16string_view kAreaSectionPrefix = u"認識エリア";
inline constexpr std::u16string_view kChrGrop = u"CHRGROP";
inline constexpr std::u16string_view kComment = u"COMMENT";
inline constexpr std::u16string_view kLeft = u"LEFT";
inline constexpr std::u16string_view kTop = u"TOP";
inline constexpr std::u16string_view kWidth = u"WIDTH";
inline constexpr std::u16string_view kHeight = u"HEIGHT";
inline constexpr std::u16string_view kBwLevel = u"BWLEVELT";
inline constexpr std::u16string_view kKugiri = u"区切り";
// Blank columns between two characters read from which the area's delimiter
// goes into the answer; missing or 0 puts none (a reader that does not know
// the key reads the area as before).
inline constexpr std::u16string_view kBlankWidth = u"BLANKWIDTH";
// "True": an incomplete reading of the area is written without asking (ink
// nobody wants read is always there). Missing, or anything else, asks.
inline constexpr std::u16string_view kWriteUnread = u"WRITEUNREAD";
// The monitor that held the area when it was stored: its rectangle in
// physical pixels as "left,top,width,height", and its scale in percent (100
// at 96 dots per inch). Missing: nothing to compare the monitor with.
inline constexpr std::u16string_view kMonitor = u"MONITOR";
inline constexpr std::u16string_view kMonitorScale = u"MONITORSCALE";
// The areas read after this one in the same press, by name, in order: a
// numbered list FIELD0, FIELD1, ... ending at the first missing or empty
// entry. Missing: the area is read alone, as before.
inline constexpr std::u16string_view kFieldPrefix = u"FIELD";

// Character sections
inline constexpr std::u16string_view kChr = u"CHR";
inline constexpr std::u16string_view kX = u"X";
inline constexpr std::u16string_view kY = u"Y";
inline constexpr std::u16string_view kDeletedChr = u"Null";

// Separator of the names in a character list: two backslashes.
inline constexpr std::u16string_view kCharSeparator = u"\\\\";

inline constexpr std::u16string_view kTrue = u"True";
inline constexpr std::u16string_view kFalse = u"False";

// Entry for a new item at the end of the editor's lists.
inline constexpr std::u16string_view kNewEntry = u"<新規追加>";

std::u16string Decimal(std::int64_t n);
std::u16string ListKey(std::int64_t n);                                  // LIST3
std::u16string GroupKey(std::int64_t n);                                 // G3
std::u16string AreaSection(std::u16string_view area);                    // 認識エリアCounter
std::u16string CharListKey(std::int64_t group);                          // G0ALLCHR
std::u16string CharSection(std::int64_t group, std::u16string_view chr); // G0ChrDat7
std::u16string RowKey(std::int64_t row);                                 // BL0
std::u16string FieldKey(std::int64_t n);                                 // FIELD0

// " 2" for 2, "-3" for -3.
std::u16string SignedNumberText(std::int64_t n);

// Whether two section or key names are the same to the profile: only A-Z
// and a-z are folded.
bool SameName(std::u16string_view a, std::u16string_view b);

std::u16string_view FlagText(bool yes);
bool IsTrue(std::u16string_view text);

// The names of a character list; the empty text gives none.
std::vector<std::u16string> SplitCharList(std::u16string_view list);
std::u16string JoinCharList(const std::vector<std::u16string>& names);
// A character list with name added at the end ("" -> name, else list\\name).
std::u16string AppendToCharList(std::u16string_view list, std::u16string_view name);

// One character's template as it is registered: its text, its width and
// height as the texts to store, and its row masks from the top.
struct CharTemplate {
    std::u16string chr, width, height;
    std::vector<std::int32_t> rows;
};

// The writes that register templates in group, in the order they go to the
// file: CHR, X, Y, BL0, BL1, ... of each, and after each character that list
// (the group's list as stored) does not name yet, the list with it added.
// list becomes the list afterwards.
std::vector<settings::KeyWrite> TemplateWrites(std::int64_t group,
                                               const std::vector<CharTemplate>& templates,
                                               std::u16string& list);

// What reads a profile: the value under section and key (empty when
// missing), and whether a section is there at all.
using Reader = std::function<std::u16string(std::u16string_view, std::u16string_view)>;
struct Source {
    Reader read;
    std::function<bool(std::u16string_view section)> hasSection;
    // A number that changes whenever what read gives may have changed, so
    // that what was made from it can be kept meanwhile; none (or 0): it
    // cannot tell, and everything is read again each time.
    std::function<std::uint64_t()> version;
};

// The character group an area's CHRGROP names: its leading number rounded
// half to even (" 2" and "2.5" are 2, "3.5" is 4, "abc" and "" are 0), or
// nothing when no 32-bit integer holds it (a hand-edited "1e10"): no group
// can be read or chosen by that number.
std::optional<std::int32_t> GroupNumber(std::u16string_view text);

// Entries key(0), key(1), ... of a numbered list, up to the first missing or
// empty one.
std::vector<std::u16string> ReadNumberedList(const Reader& read, std::u16string_view section,
                                             std::u16string (*key)(std::int64_t));

} // namespace profile
